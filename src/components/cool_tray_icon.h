// TCoolTrayIcon: one icon in the notification area with a tooltip, a context menu, balloon
// tips and mouse events. All icons of one notification area share one hidden window, the
// TTrayIconHandler, created with the first icon and destroyed with the last; it finds an
// icon again by the identifier in its record. The component re-adds a visible icon when the
// taskbar is created anew. The system and the menu are interfaces (NotificationArea,
// TrayPopupMenu), so everything here runs without a display.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "components/notification_area.h"

namespace lanvoy {

// The context menu as the tray icon uses it.
class TrayPopupMenu {
 public:
  virtual ~TrayPopupMenu() = default;
  // Off while the menu must not open (the main window's edit mode).
  virtual bool AutoPopup() const = 0;
  virtual void SetAutoPopup(bool on) = 0;
  // Opens the menu at a point in screen coordinates.
  virtual void Popup(TrayPoint at) = 0;
  // The top-level items, from the top.
  virtual std::size_t ItemCount() const = 0;
  virtual bool IsDefaultItem(std::size_t index) const = 0;
  // Clicks the item, which runs its handler.
  virtual void ClickItem(std::size_t index) = 0;
};

enum TBalloonHintIcon { bitNone, bitInfo, bitWarning, bitError };
enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Shift state of a mouse event: the keys held and the button concerned.
struct TShiftState {
  bool ssShift = false;
  bool ssAlt = false;
  bool ssCtrl = false;
  bool ssLeft = false;
  bool ssRight = false;
  bool ssMiddle = false;
  bool operator==(const TShiftState&) const = default;
};

// NIIF_... of a balloon's icon kind.
uint32_t BalloonIconFlags(TBalloonHintIcon icon);

// Whether a common controls library of this version sends the taskbar's re-creation.
bool TaskbarCreatedSupported(FileVersion comctl32);

class TCoolTrayIcon;

using TTrayEvent = std::function<void(TCoolTrayIcon& sender)>;
using TTrayMouseEvent = std::function<void(TCoolTrayIcon& sender, TMouseButton button,
                                           TShiftState shift, int x, int y)>;
using TTrayMouseMoveEvent =
    std::function<void(TCoolTrayIcon& sender, TShiftState shift, int x, int y)>;

class TTrayIconHandler;

class TCoolTrayIcon {
 public:
  // The area must outlive the component.
  explicit TCoolTrayIcon(NotificationArea& area);
  // Removes the icon from the tray.
  ~TCoolTrayIcon();
  TCoolTrayIcon(const TCoolTrayIcon&) = delete;
  TCoolTrayIcon& operator=(const TCoolTrayIcon&) = delete;

  // Published properties with their values at creation. Mouse notifications are handled
  // only while Enabled; balloon notifications always.
  bool Enabled = true;
  TrayPopupMenu* PopupMenu = nullptr;  // not owned; must outlive its use here
  bool LeftPopup = false;              // the menu on the left button instead of the right

  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool show);
  const TIcon& Icon() const { return icon_; }
  void SetIcon(const TIcon& icon);
  int IconIndex() const { return iconIndex_; }
  void SetIconIndex(int index);
  bool IconVisible() const { return iconVisible_; }
  // true runs ShowIcon, false HideIcon, also when the value does not change.
  void SetIconVisible(bool visible);

  TTrayEvent OnClick;
  TTrayEvent OnDblClick;
  TTrayMouseEvent OnMouseDown;
  TTrayMouseEvent OnMouseUp;
  TTrayMouseMoveEvent OnMouseMove;
  TTrayEvent OnBalloonHintClick;
  TTrayEvent OnBalloonHintHide;
  TTrayEvent OnBalloonHintTimeout;

  // Each returns whether the system did it; nothing is raised.
  bool ShowIcon();
  bool HideIcon();
  // Icon, tooltip and, while the balloon flag is set, the balloon of the shown icon.
  bool ModifyIcon();
  bool ShowBalloonHint(const std::string& title, const std::string& text, TBalloonHintIcon icon,
                       uint32_t timeoutSeconds);
  bool HideBalloonHint();
  // Opens PopupMenu at the mouse position while its automatic popup is on.
  void PopupAtCursor();

  // Once the owner is loaded: applies IconVisible (removing an icon that is not there is
  // harmless).
  void Loaded();

  // The record as it was last handed to the system.
  const NotifyIconData& Record() const { return record_; }

 private:
  friend class TTrayIconHandler;
  class TaskbarHook : public TaskbarListener {
   public:
    explicit TaskbarHook(TCoolTrayIcon& owner) : owner_(owner) {}
    void TaskbarCreated() override;

   private:
    TCoolTrayIcon& owner_;
  };

  bool Notify(NotifyIconMessage message);
  void HandleNotification(uint32_t message);
  void MouseEvent(const TTrayMouseEvent& event, TMouseButton button);
  void ClickDefaultItem();

  NotificationArea& area_;
  TTrayIconHandler* handler_;
  TaskbarHook taskbarHook_{*this};
  bool taskbarHooked_ = false;
  std::string hint_;
  bool showHint_ = true;
  TIcon icon_;
  int iconIndex_ = 0;
  bool iconVisible_ = false;
  NotifyIconData record_;
  // Cleared when the component is destroyed, so that a notification whose event handler
  // destroys it stops there.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace lanvoy
