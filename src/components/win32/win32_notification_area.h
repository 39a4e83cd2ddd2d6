// The notification area of the taskbar through Shell_NotifyIconA. The icons' hidden window
// is a real top-level window that is never shown (a message-only window would miss the
// "TaskbarCreated" broadcast); that broadcast, sent when Explorer starts again, reaches the
// listeners.
#pragma once

#include "mainwindow/win32/win32_api.h"

#include <vector>

#include "components/notification_area.h"

namespace lanvoy {

class Win32NotificationArea : public NotificationArea {
 public:
  // application: the window made the foreground window before a menu opens.
  explicit Win32NotificationArea(HWND application);
  ~Win32NotificationArea() override;

  bool NotifyIcon(NotifyIconMessage message, const NotifyIconData& data) override;
  TrayWindow CreateMessageWindow(TrayWindowProc& proc) override;
  void DestroyMessageWindow(TrayWindow window) override;
  FileVersion CommonControlsVersion() override;
  void AddTaskbarListener(TaskbarListener& listener) override;
  void RemoveTaskbarListener(TaskbarListener& listener) override;
  std::optional<TrayPoint> CursorPos() override;
  TrayKeys KeyboardState() override;
  void ForegroundApplication() override;

  void SetApplication(HWND application) { application_ = application; }
  // The icons this area has added and not removed, as (window, id).
  const std::vector<std::pair<TrayWindow, uint32_t>>& Icons() const { return icons_; }

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HICON IconOf(const TIcon& icon);

  HWND application_;
  UINT taskbarCreated_;
  std::vector<TaskbarListener*> listeners_;
  std::vector<std::pair<TrayWindow, uint32_t>> icons_;
  std::vector<std::pair<std::string, HICON>> loaded_;
};

}  // namespace lanvoy
