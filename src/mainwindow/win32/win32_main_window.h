// The main window on Win32: the controls of MainFormLayout(), the windows it owns, and what
// the window's logic asks of a window. It decides nothing; TMainForm does.
#pragma once

#include <functional>
#include <memory>

#include "mainwindow/main_window_view.h"
#include "mainwindow/win32/win32_controls.h"

namespace lanvoy {

class TFormHelp;
class TFormNetDetails;
class TFormProgress;

// The console capture's way to the GUI thread: a message sent to a window of that thread,
// which its message loop (or a modal one) runs while the worker waits.
class Win32MainThreadDispatcher : public MainThreadDispatcher {
 public:
  Win32MainThreadDispatcher();
  ~Win32MainThreadDispatcher() override;
  void InvokeSync(const std::function<void()>& fn) override;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_;
  DWORD thread_;
};

class Win32MainWindow : public Win32Window, public MainWindowView {
 public:
  // trayArea: where the tray icon goes; the taskbar's notification area when null.
  explicit Win32MainWindow(NotificationArea* trayArea = nullptr);
  ~Win32MainWindow() override;

  ControlSet& Controls() override { return Win32Window::Controls(); }
  void SetApplicationHints(int showMs, int hideMs, uint32_t background) override;
  void SetCaption(const std::string& caption) override;
  void MoveTo(int left, int top) override;
  void SetClientSize(int width, int height) override { Win32Window::SetClientSize(width, height); }
  void Show() override;
  void ShowNormal() override;
  void Hide() override { ShowWindow(Handle(), SW_HIDE); }
  void Minimize() override { ShowWindow(Handle(), SW_MINIMIZE); }
  bool Visible() const override { return IsWindowVisible(Handle()); }
  void Repaint() override;
  void SetBusyCursor(bool busy) override { SetBusy(busy); }
  void RunAnswering(const std::function<void()>& work) override;
  void FocusNext(Control& from) override;
  void Closed() override;
  TIcon ProgramIcon() override { return TIcon{"MAINICON"}; }
  NotificationArea& TrayArea() override { return *trayArea_; }
  MainThreadDispatcher& Dispatcher() override { return dispatcher_; }
  ProgressView& Progress() override;
  HelpView& Help() override;
  LanStateView& LanState() override;

  TFormProgress* FormProgress() const { return formProgress_.get(); }
  TFormNetDetails* FormNetDetails() const { return formNetDetails_.get(); }
  TFormHelp* FormHelp() const { return formHelp_.get(); }

  // The window was closed for good: the program ends (also from the tray, where the window
  // is hidden). The message loop's end by default.
  std::function<void()> ClosedForGood = [] { PostQuitMessage(0); };

 protected:
  LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam) override;
  void CloseBox() override;

 private:
  // The capture's hand-overs go through the dispatcher: it must outlive the capture.
  Win32MainThreadDispatcher dispatcher_;
  std::unique_ptr<NotificationArea> ownTrayArea_;
  NotificationArea* trayArea_;
  std::unique_ptr<TFormProgress> formProgress_;
  std::unique_ptr<TFormHelp> formHelp_;
  std::unique_ptr<TFormNetDetails> formNetDetails_;
};

// The windows of the program on Win32.
class Win32WindowFactory : public WindowFactory {
 public:
  std::unique_ptr<SplashView> CreateSplash() override;
  std::unique_ptr<MainWindowView> CreateMainWindow() override;
};

}  // namespace lanvoy
