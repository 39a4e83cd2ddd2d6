#include "mainwindow/win32/win32_main_window.h"

#include <uxtheme.h>

#include <thread>

#include "app/win32/forms.h"
#include "apply/win32/form_progress.h"
#include "components/win32/win32_notification_area.h"
#include "mainwindow/win32/win32_text.h"
#include "sysread/win32/form_net_details.h"

namespace lanvoy {

namespace {

constexpr UINT kInvoke = WM_APP + 1;

}  // namespace

Win32MainThreadDispatcher::Win32MainThreadDispatcher() : thread_(GetCurrentThreadId()) {
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = &Procedure;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.lpszClassName = L"TLanvoyDispatcher";
  RegisterClassExW(&cls);  // fails harmlessly once registered
  hwnd_ = CreateWindowExW(0, cls.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                          cls.hInstance, nullptr);
}

Win32MainThreadDispatcher::~Win32MainThreadDispatcher() {
  DestroyWindow(hwnd_);
}

void Win32MainThreadDispatcher::InvokeSync(const std::function<void()>& fn) {
  if (GetCurrentThreadId() == thread_) {
    fn();  // a message sent to its own thread would run at once anyway
    return;
  }
  SendMessageW(hwnd_, kInvoke, 0, reinterpret_cast<LPARAM>(&fn));
}

LRESULT CALLBACK Win32MainThreadDispatcher::Procedure(HWND hwnd, UINT message, WPARAM wParam,
                                                      LPARAM lParam) {
  if (message == kInvoke) {
    (*reinterpret_cast<const std::function<void()>*>(lParam))();
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

Win32MainWindow::Win32MainWindow(NotificationArea* trayArea)
    : Win32Window(MainFormLayout(), nullptr), trayArea_(trayArea) {
  if (!trayArea_) {
    ownTrayArea_ = std::make_unique<Win32NotificationArea>(Handle());
    trayArea_ = ownTrayArea_.get();
  }
  // The windows the program entry makes after this one, in its order.
  formProgress_ = std::make_unique<TFormProgress>(Handle());
  formHelp_ = std::make_unique<TFormHelp>(Handle());
}

Win32MainWindow::~Win32MainWindow() = default;

void Win32MainWindow::SetApplicationHints(int showMs, int hideMs, uint32_t background) {
  HWND tip = Tooltip();
  SendMessageW(tip, TTM_SETDELAYTIME, TTDT_INITIAL, showMs);
  SendMessageW(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, hideMs);
  // A themed tooltip keeps the theme's colour.
  SetWindowTheme(tip, L"", L"");
  SendMessageW(tip, TTM_SETTIPBKCOLOR,
               RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF), 0);
  SendMessageW(tip, TTM_SETTIPTEXTCOLOR, RGB(0, 0, 0), 0);
}

void Win32MainWindow::SetCaption(const std::string& caption) {
  SetWindowTextW(Handle(), W(caption).c_str());
}

void Win32MainWindow::MoveTo(int left, int top) {
  SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32MainWindow::Show() {
  ShowWindow(Handle(), SW_SHOW);
  SetForegroundWindow(Handle());
}

void Win32MainWindow::ShowNormal() {
  ShowWindow(Handle(), IsIconic(Handle()) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(Handle());
  SetActiveWindow(Handle());
}

void Win32MainWindow::Repaint() {
  RedrawWindow(Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void Win32MainWindow::RunAnswering(const std::function<void()>& work) {
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!done) {
    work();
    return;
  }
  // Input held off as a modal window holds it off from its owner; the focus and the
  // activation come back afterwards.
  HWND focus = GetFocus();
  const bool active = GetActiveWindow() == Handle();
  const bool wasEnabled = !EnableWindow(Handle(), FALSE);
  std::thread worker([&] {
    work();
    SetEvent(done);
  });
  // The messages of every window of this thread go on (painting, moving, sent messages),
  // until the work has ended; a WM_QUIT, and a request to close this window, are kept for
  // afterwards.
  int quit = -1;
  bool closeAsked = false;
  while (MsgWaitForMultipleObjectsEx(1, &done, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE) !=
         WAIT_OBJECT_0) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit = static_cast<int>(msg.wParam);
        continue;
      }
      if (msg.message == WM_CLOSE && msg.hwnd == Handle()) {
        closeAsked = true;
        continue;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  worker.join();
  CloseHandle(done);
  if (wasEnabled) EnableWindow(Handle(), TRUE);
  if (active) SetActiveWindow(Handle());
  if (focus && IsWindow(focus)) SetFocus(focus);
  if (closeAsked) PostMessageW(Handle(), WM_CLOSE, 0, 0);
  if (quit >= 0) PostQuitMessage(quit);
}

void Win32MainWindow::FocusNext(Control& from) {
  auto* holder = dynamic_cast<Win32WindowOf*>(&from);
  if (!holder) return;
  // As the Tab key: the next control in the tab order that takes the focus.
  if (HWND next = GetNextDlgTabItem(Handle(), holder->hwnd(), FALSE)) SetFocus(next);
}

void Win32MainWindow::Closed() {
  ShowWindow(Handle(), SW_HIDE);
  if (ClosedForGood) ClosedForGood();
}

void Win32MainWindow::CloseBox() {
  if (OnCloseQuery && !OnCloseQuery()) return;
  Closed();
}

LRESULT Win32MainWindow::Message(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CONTEXTMENU) {
    POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (lParam == -1) GetCursorPos(&at);  // from the keyboard
    // The controls with a menu of their own have opened it already.
    if (OnContextPopup) OnContextPopup(at.x, at.y);
    return 0;
  }
  return Win32Window::Message(message, wParam, lParam);
}

ProgressView& Win32MainWindow::Progress() {
  return *formProgress_;
}

HelpView& Win32MainWindow::Help() {
  return *formHelp_;
}

LanStateView& Win32MainWindow::LanState() {
  if (!formNetDetails_) formNetDetails_ = std::make_unique<TFormNetDetails>(Handle());
  return *formNetDetails_;
}

std::unique_ptr<SplashView> Win32WindowFactory::CreateSplash() {
  return std::make_unique<TFormStartBild>();
}

std::unique_ptr<MainWindowView> Win32WindowFactory::CreateMainWindow() {
  return std::make_unique<Win32MainWindow>();
}

}  // namespace lanvoy
