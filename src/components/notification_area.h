// The notification area of the taskbar (the tray) as the tray icon component sees it: one
// call that adds, changes or removes an icon record (what Shell_NotifyIconA does), the hidden
// window that receives the icons' notifications, the broadcast that the taskbar was created
// anew, and the cursor and keyboard state that mouse events report. A Qt backend drives
// QSystemTrayIcon; tests use a recording fake.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace lanvoy {

// Window messages and values of the notification protocol (the system's numbers).
namespace tray {
inline constexpr uint32_t kNifMessage = 0x01;
inline constexpr uint32_t kNifIcon = 0x02;
inline constexpr uint32_t kNifTip = 0x04;
inline constexpr uint32_t kNifInfo = 0x10;

inline constexpr uint32_t kWmUser = 0x400;
inline constexpr uint32_t kCallbackMessage = kWmUser + 0x400;  // 0x800

inline constexpr uint32_t kWmMouseMove = 0x200;
inline constexpr uint32_t kWmLButtonDown = 0x201;
inline constexpr uint32_t kWmLButtonUp = 0x202;
inline constexpr uint32_t kWmLButtonDblClk = 0x203;
inline constexpr uint32_t kWmRButtonDown = 0x204;
inline constexpr uint32_t kWmRButtonUp = 0x205;
inline constexpr uint32_t kWmRButtonDblClk = 0x206;
inline constexpr uint32_t kWmMButtonDown = 0x207;
inline constexpr uint32_t kWmMButtonUp = 0x208;
inline constexpr uint32_t kNinBalloonShow = 0x402;
inline constexpr uint32_t kNinBalloonHide = 0x403;
inline constexpr uint32_t kNinBalloonTimeout = 0x404;
inline constexpr uint32_t kNinBalloonUserClick = 0x405;

inline constexpr uint32_t kWmDestroy = 0x0002;
inline constexpr uint32_t kWmClose = 0x0010;
inline constexpr uint32_t kWmQueryEndSession = 0x0011;
inline constexpr uint32_t kWmQuit = 0x0012;
inline constexpr uint32_t kWmEndSession = 0x0016;
inline constexpr uint32_t kWmUserChanged = 0x0054;
inline constexpr uint32_t kWmNcDestroy = 0x0082;

// Text limits of the record, without the closing zero.
inline constexpr std::size_t kTipLength = 127;
inline constexpr std::size_t kInfoLength = 255;
inline constexpr std::size_t kInfoTitleLength = 63;
// The size field of the record version with balloon fields.
inline constexpr uint32_t kRecordSize = 488;
}  // namespace tray

// An icon: where its picture comes from (a file or resource path the backend loads).
// Empty for no picture.
struct TIcon {
  std::string source;
  bool Empty() const { return source.empty(); }
  bool operator==(const TIcon&) const = default;
};

// NIM_ADD, NIM_MODIFY, NIM_DELETE.
enum class NotifyIconMessage : uint32_t { Add = 0, Modify = 1, Delete = 2 };

// An opaque window handle of the backend; 0 is no window.
using TrayWindow = uintptr_t;

// NOTIFYICONDATA in its version with balloon fields. The texts hold at most the lengths
// above; the component cuts them.
struct NotifyIconData {
  uint32_t cbSize = tray::kRecordSize;
  TrayWindow hWnd = 0;  // receives the notifications
  uint32_t uID = 0;     // identifies the icon among those of hWnd
  uint32_t uFlags = 0;
  uint32_t uCallbackMessage = 0;
  TIcon hIcon;
  std::string szTip;
  std::string szInfo;
  uint32_t uTimeout = 0;  // milliseconds
  std::string szInfoTitle;
  uint32_t dwInfoFlags = 0;  // NIIF_NONE 0, NIIF_INFO 1, NIIF_WARNING 2, NIIF_ERROR 3
  bool operator==(const NotifyIconData&) const = default;
};

// The procedure of the hidden window: one window message at a time. No value means the
// message goes to the system's default handling.
class TrayWindowProc {
 public:
  virtual ~TrayWindowProc() = default;
  virtual std::optional<intptr_t> WindowMessage(uint32_t message, uintptr_t wParam,
                                                intptr_t lParam) = 0;
};

// Told when the taskbar has been created anew (the "TaskbarCreated" broadcast that reaches
// the application's window).
class TaskbarListener {
 public:
  virtual ~TaskbarListener() = default;
  virtual void TaskbarCreated() = 0;
};

struct TrayPoint {
  int x = 0;
  int y = 0;
  bool operator==(const TrayPoint&) const = default;
};

// Keys held at the moment of a mouse notification.
struct TrayKeys {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

struct FileVersion {
  int major = 0;
  int minor = 0;
};

class NotificationArea {
 public:
  virtual ~NotificationArea() = default;

  // Shell_NotifyIconA: true when the system did it. Adding an icon that is already there,
  // or changing or removing one that is not, fails.
  virtual bool NotifyIcon(NotifyIconMessage message, const NotifyIconData& data) = 0;

  // The hidden window whose procedure gets the icons' callback messages: wParam is the
  // icon's uID, lParam the mouse or balloon message. proc outlives the window.
  virtual TrayWindow CreateMessageWindow(TrayWindowProc& proc) = 0;
  virtual void DestroyMessageWindow(TrayWindow window) = 0;

  // The file version of the common controls library (comctl32.dll); from 4.71 on the
  // taskbar announces its re-creation.
  virtual FileVersion CommonControlsVersion() = 0;
  virtual void AddTaskbarListener(TaskbarListener& listener) = 0;
  virtual void RemoveTaskbarListener(TaskbarListener& listener) = 0;

  // The cursor position in screen coordinates; no value when it cannot be read.
  virtual std::optional<TrayPoint> CursorPos() = 0;
  virtual TrayKeys KeyboardState() = 0;

  // Makes the application's window the foreground window and lets pending window messages
  // be processed, so that a menu opened next closes when the user clicks elsewhere.
  virtual void ForegroundApplication() = 0;
};

}  // namespace lanvoy
