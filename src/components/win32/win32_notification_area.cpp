#include "components/win32/win32_notification_area.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstring>

namespace lanvoy {

namespace {

const wchar_t kHandlerClass[] = L"TTrayIconHandler";

struct Handler {
  Win32NotificationArea* area;
  TrayWindowProc* proc;
  UINT taskbarCreated;
  std::vector<TaskbarListener*>* listeners;
};

template <size_t N>
void Copy(char (&to)[N], const std::string& text) {
  const size_t n = std::min(text.size(), N - 1);
  std::memcpy(to, text.data(), n);
  to[n] = '\0';
}

}  // namespace

Win32NotificationArea::Win32NotificationArea(HWND application)
    : application_(application), taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")) {
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = &Procedure;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.lpszClassName = kHandlerClass;
  RegisterClassExW(&cls);  // once per process; later calls fail harmlessly
}

Win32NotificationArea::~Win32NotificationArea() {
  for (auto& [source, icon] : loaded_) DestroyIcon(icon);
}

HICON Win32NotificationArea::IconOf(const TIcon& icon) {
  if (icon.Empty()) return nullptr;
  for (auto& [source, handle] : loaded_)
    if (source == icon.source) return handle;
  const int size = GetSystemMetrics(SM_CXSMICON);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  // A resource of the program, else a file.
  auto* handle = static_cast<HICON>(
      LoadImageA(instance, icon.source.c_str(), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  if (!handle)
    handle = static_cast<HICON>(
        LoadImageA(nullptr, icon.source.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE));
  if (handle) loaded_.push_back({icon.source, handle});
  return handle;
}

bool Win32NotificationArea::NotifyIcon(NotifyIconMessage message, const NotifyIconData& data) {
  NOTIFYICONDATAA record{};
  // The record version with balloon fields.
  record.cbSize = NOTIFYICONDATAA_V2_SIZE;
  record.hWnd = reinterpret_cast<HWND>(data.hWnd);
  record.uID = data.uID;
  record.uFlags = data.uFlags;
  record.uCallbackMessage = data.uCallbackMessage;
  record.hIcon = IconOf(data.hIcon);
  Copy(record.szTip, data.szTip);
  Copy(record.szInfo, data.szInfo);
  record.uTimeout = data.uTimeout;
  Copy(record.szInfoTitle, data.szInfoTitle);
  record.dwInfoFlags = data.dwInfoFlags;
  const DWORD call = message == NotifyIconMessage::Add      ? NIM_ADD
                     : message == NotifyIconMessage::Modify ? NIM_MODIFY
                                                            : NIM_DELETE;
  const bool done = Shell_NotifyIconA(call, &record);
  const std::pair<TrayWindow, uint32_t> key{data.hWnd, data.uID};
  if (done && message == NotifyIconMessage::Add) icons_.push_back(key);
  if (done && message == NotifyIconMessage::Delete)
    icons_.erase(std::remove(icons_.begin(), icons_.end(), key), icons_.end());
  return done;
}

TrayWindow Win32NotificationArea::CreateMessageWindow(TrayWindowProc& proc) {
  auto* handler = new Handler{this, &proc, taskbarCreated_, &listeners_};
  HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, kHandlerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                              nullptr, GetModuleHandleW(nullptr), handler);
  if (!hwnd) delete handler;
  return reinterpret_cast<TrayWindow>(hwnd);
}

void Win32NotificationArea::DestroyMessageWindow(TrayWindow window) {
  HWND hwnd = reinterpret_cast<HWND>(window);
  auto* handler = reinterpret_cast<Handler*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  DestroyWindow(hwnd);
  delete handler;
}

LRESULT CALLBACK Win32NotificationArea::Procedure(HWND hwnd, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* handler = reinterpret_cast<Handler*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (handler && message == handler->taskbarCreated) {
    // A listener may remove itself, or others, while it is told.
    const std::vector<TaskbarListener*> told = *handler->listeners;
    for (TaskbarListener* listener : told)
      if (std::find(handler->listeners->begin(), handler->listeners->end(), listener) !=
          handler->listeners->end())
        listener->TaskbarCreated();
    return 0;
  }
  if (handler && message != WM_NCCREATE && message != WM_CREATE) {
    if (std::optional<intptr_t> result = handler->proc->WindowMessage(message, wParam, lParam))
      return *result;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

FileVersion Win32NotificationArea::CommonControlsVersion() {
  HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
  if (!comctl) comctl = LoadLibraryW(L"comctl32.dll");
  using DllGetVersionFn = HRESULT(CALLBACK*)(DLLVERSIONINFO*);
  auto get = comctl ? reinterpret_cast<DllGetVersionFn>(
                          reinterpret_cast<void*>(GetProcAddress(comctl, "DllGetVersion")))
                    : nullptr;
  DLLVERSIONINFO info{};
  info.cbSize = sizeof info;
  if (!get || FAILED(get(&info))) return {4, 0};
  return {static_cast<int>(info.dwMajorVersion), static_cast<int>(info.dwMinorVersion)};
}

void Win32NotificationArea::AddTaskbarListener(TaskbarListener& listener) {
  listeners_.push_back(&listener);
}

void Win32NotificationArea::RemoveTaskbarListener(TaskbarListener& listener) {
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), &listener), listeners_.end());
}

std::optional<TrayPoint> Win32NotificationArea::CursorPos() {
  POINT at;
  if (!GetCursorPos(&at)) return std::nullopt;
  return TrayPoint{at.x, at.y};
}

TrayKeys Win32NotificationArea::KeyboardState() {
  TrayKeys keys;
  keys.shift = GetKeyState(VK_SHIFT) < 0;
  keys.ctrl = GetKeyState(VK_CONTROL) < 0;
  keys.alt = GetKeyState(VK_MENU) < 0;
  return keys;
}

void Win32NotificationArea::ForegroundApplication() {
  // A menu of a window that is not in the foreground stays open when the user clicks
  // elsewhere.
  SetForegroundWindow(application_);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace lanvoy
