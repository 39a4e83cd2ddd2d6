#include "components/cool_tray_icon.h"

#include <algorithm>
#include <limits>
#include <map>
#include <memory>
#include <utility>

namespace lanvoy {

using namespace tray;

namespace {

constexpr uint32_t kBaseFlags = kNifMessage | kNifIcon | kNifTip;  // 7

std::string Cut(const std::string& text, std::size_t length) {
  return text.substr(0, length);
}

// Raises an event through a copy, so that a handler that destroys the component does not
// destroy the function that is running.
template <typename Event, typename... Args>
void Raise(const Event& event, Args&&... args) {
  if (!event) return;
  Event running = event;
  running(std::forward<Args>(args)...);
}

TShiftState ShiftOf(const TrayKeys& keys) {
  TShiftState shift;
  shift.ssShift = keys.shift;
  shift.ssCtrl = keys.ctrl;
  shift.ssAlt = keys.alt;
  return shift;
}

}  // namespace

uint32_t BalloonIconFlags(TBalloonHintIcon icon) {
  switch (icon) {
    case bitInfo:
      return 1;
    case bitWarning:
      return 2;
    case bitError:
      return 3;
    case bitNone:
      break;
  }
  return 0;
}

bool TaskbarCreatedSupported(FileVersion comctl32) {
  return comctl32.major > 4 || (comctl32.major == 4 && comctl32.minor >= 71);
}

// The hidden window shared by the icons of one notification area.
class TTrayIconHandler : public TrayWindowProc {
 public:
  static TTrayIconHandler& Acquire(NotificationArea& area) {
    std::unique_ptr<TTrayIconHandler>& slot = Handlers()[&area];
    if (!slot) slot.reset(new TTrayIconHandler(area));
    ++slot->references_;
    return *slot;
  }

  // The last release destroys the handler and its window.
  static void Release(TTrayIconHandler& handler) {
    if (--handler.references_ > 0) return;
    Handlers().erase(&handler.area_);
  }

  ~TTrayIconHandler() override { area_.DestroyMessageWindow(window_); }

  TrayWindow Window() const { return window_; }

  uint32_t Register(TCoolTrayIcon& icon) {
    uint32_t id = ++lastId_;
    icons_[id] = &icon;
    return id;
  }
  void Unregister(uint32_t id) { icons_.erase(id); }

  std::optional<intptr_t> WindowMessage(uint32_t message, uintptr_t wParam,
                                        intptr_t lParam) override {
    switch (message) {
      case kCallbackMessage: {
        // An icon removed meanwhile leaves nothing to act on. The handler itself may go
        // while the icon acts (its last icon destroyed by an event), so it touches nothing
        // of its own afterwards.
        auto found = icons_.find(static_cast<uint32_t>(wParam));
        if (found != icons_.end()) found->second->HandleNotification(static_cast<uint32_t>(lParam));
        return 0;
      }
      case kWmClose:
      case kWmDestroy:
      case kWmQuit:
      case kWmQueryEndSession:
      case kWmEndSession:
      case kWmUserChanged:
      case kWmNcDestroy:
        return 1;
      default:
        return std::nullopt;
    }
  }

 private:
  explicit TTrayIconHandler(NotificationArea& area) : area_(area) {
    window_ = area_.CreateMessageWindow(*this);
  }

  static std::map<NotificationArea*, std::unique_ptr<TTrayIconHandler>>& Handlers() {
    static std::map<NotificationArea*, std::unique_ptr<TTrayIconHandler>> handlers;
    return handlers;
  }

  NotificationArea& area_;
  TrayWindow window_ = 0;
  int references_ = 0;
  uint32_t lastId_ = 0;
  std::map<uint32_t, TCoolTrayIcon*> icons_;
};

TCoolTrayIcon::TCoolTrayIcon(NotificationArea& area)
    : area_(area), handler_(&TTrayIconHandler::Acquire(area)) {
  record_.cbSize = kRecordSize;
  record_.hWnd = handler_->Window();
  record_.uID = handler_->Register(*this);
  record_.uFlags = kBaseFlags;
  record_.uCallbackMessage = kCallbackMessage;
  if (TaskbarCreatedSupported(area_.CommonControlsVersion())) {
    area_.AddTaskbarListener(taskbarHook_);
    taskbarHooked_ = true;
  }
}

TCoolTrayIcon::~TCoolTrayIcon() {
  *alive_ = false;
  SetIconVisible(false);
  if (taskbarHooked_) area_.RemoveTaskbarListener(taskbarHook_);
  handler_->Unregister(record_.uID);
  TTrayIconHandler::Release(*handler_);
}

void TCoolTrayIcon::SetHint(const std::string& hint) {
  hint_ = hint;
  ModifyIcon();
}

void TCoolTrayIcon::SetShowHint(bool show) {
  showHint_ = show;
  ModifyIcon();
}

void TCoolTrayIcon::SetIcon(const TIcon& icon) {
  icon_ = icon;
  ModifyIcon();
}

void TCoolTrayIcon::SetIconIndex(int index) {
  iconIndex_ = index;
  ModifyIcon();
}

void TCoolTrayIcon::SetIconVisible(bool visible) {
  if (visible)
    ShowIcon();
  else
    HideIcon();
}

void TCoolTrayIcon::Loaded() {
  SetIconVisible(iconVisible_);
}

bool TCoolTrayIcon::Notify(NotifyIconMessage message) {
  record_.hIcon = icon_;
  record_.szTip = (!hint_.empty() && showHint_) ? Cut(hint_, kTipLength) : std::string();
  return area_.NotifyIcon(message, record_);
}

bool TCoolTrayIcon::ShowIcon() {
  iconVisible_ = true;
  return Notify(NotifyIconMessage::Add);
}

bool TCoolTrayIcon::HideIcon() {
  iconVisible_ = false;
  return Notify(NotifyIconMessage::Delete);
}

bool TCoolTrayIcon::ModifyIcon() {
  return Notify(NotifyIconMessage::Modify);
}

bool TCoolTrayIcon::ShowBalloonHint(const std::string& title, const std::string& text,
                                    TBalloonHintIcon icon, uint32_t timeoutSeconds) {
  HideBalloonHint();
  record_.uFlags |= kNifInfo;
  record_.szInfo = Cut(text, kInfoLength);
  record_.szInfoTitle = Cut(title, kInfoTitleLength);
  uint64_t ms = uint64_t{timeoutSeconds} * 1000;
  record_.uTimeout =
      static_cast<uint32_t>(std::min<uint64_t>(ms, std::numeric_limits<uint32_t>::max()));
  record_.dwInfoFlags = BalloonIconFlags(icon);
  bool result = ModifyIcon();
  record_.uFlags = kBaseFlags;
  return result;
}

bool TCoolTrayIcon::HideBalloonHint() {
  record_.uFlags |= kNifInfo;
  record_.szInfo.clear();
  return ModifyIcon();
}

void TCoolTrayIcon::PopupAtCursor() {
  if (PopupMenu == nullptr || !PopupMenu->AutoPopup()) return;
  std::optional<TrayPoint> at = area_.CursorPos();
  if (!at) return;
  std::shared_ptr<bool> alive = alive_;
  area_.ForegroundApplication();
  // Pending messages may have destroyed the component or taken its menu.
  if (!*alive || PopupMenu == nullptr) return;
  PopupMenu->Popup(*at);
}

void TCoolTrayIcon::TaskbarHook::TaskbarCreated() {
  if (owner_.iconVisible_) owner_.ShowIcon();
}

void TCoolTrayIcon::MouseEvent(const TTrayMouseEvent& event, TMouseButton button) {
  if (!event) return;
  TShiftState shift = ShiftOf(area_.KeyboardState());
  shift.ssLeft = button == mbLeft;
  shift.ssRight = button == mbRight;
  shift.ssMiddle = button == mbMiddle;
  TrayPoint at = area_.CursorPos().value_or(TrayPoint{});
  Raise(event, *this, button, shift, at.x, at.y);
}

void TCoolTrayIcon::ClickDefaultItem() {
  if (PopupMenu == nullptr || !PopupMenu->AutoPopup() || LeftPopup) return;
  for (std::size_t i = 0; i < PopupMenu->ItemCount(); ++i) {
    if (PopupMenu->IsDefaultItem(i)) {
      PopupMenu->ClickItem(i);
      return;
    }
  }
}

void TCoolTrayIcon::HandleNotification(uint32_t message) {
  // Balloon notifications arrive whatever Enabled says.
  switch (message) {
    case kNinBalloonHide:
      Raise(OnBalloonHintHide, *this);
      return;
    case kNinBalloonTimeout:
      Raise(OnBalloonHintTimeout, *this);
      return;
    case kNinBalloonUserClick:
      Raise(OnBalloonHintClick, *this);
      return;
    default:
      break;
  }
  if (!Enabled) return;
  // An event handler may destroy the component; what follows it runs only if it is alive.
  std::shared_ptr<bool> alive = alive_;
  switch (message) {
    case kWmMouseMove:
      if (OnMouseMove) {
        TShiftState shift = ShiftOf(area_.KeyboardState());
        TrayPoint at = area_.CursorPos().value_or(TrayPoint{});
        Raise(OnMouseMove, *this, shift, at.x, at.y);
      }
      break;
    case kWmLButtonDown:
      MouseEvent(OnMouseDown, mbLeft);
      if (*alive && LeftPopup) PopupAtCursor();
      break;
    case kWmLButtonUp:
      MouseEvent(OnMouseUp, mbLeft);
      if (*alive) Raise(OnClick, *this);
      break;
    case kWmLButtonDblClk:
      Raise(OnDblClick, *this);
      if (*alive) ClickDefaultItem();
      break;
    case kWmRButtonDown:
      MouseEvent(OnMouseDown, mbRight);
      if (*alive) PopupAtCursor();
      break;
    case kWmRButtonUp:
      MouseEvent(OnMouseUp, mbRight);
      break;
    case kWmMButtonDown:
      MouseEvent(OnMouseDown, mbMiddle);
      break;
    case kWmMButtonUp:
      MouseEvent(OnMouseUp, mbMiddle);
      break;
    default:
      break;
  }
}

}  // namespace lanvoy
