#include "mainwindow/win32/win32_adapters.h"

#include <uxtheme.h>

#include <algorithm>
#include <utility>

#include "base/placement.h"
#include "mainwindow/win32/win32_text.h"

namespace lanvoy {

void InitWin32Windows() {
  static bool done = false;
  if (std::exchange(done, true)) return;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES |
                                                     ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS |
                                                     ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW window{};
  window.cbSize = sizeof window;
  window.lpfnWndProc = &Win32Window::Procedure;
  window.hInstance = instance;
  window.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window.lpszClassName = kWindowClass;
  window.hIcon = LoadIconW(instance, L"MAINICON");
  window.hIconSm = static_cast<HICON>(LoadImageW(instance, L"MAINICON", IMAGE_ICON, 16, 16, 0));
  RegisterClassExW(&window);
  WNDCLASSEXW page = window;
  page.lpfnWndProc = &PageProcedure;
  page.lpszClassName = kPageClass;
  page.hIcon = page.hIconSm = nullptr;
  RegisterClassExW(&page);
}

Win32Window::Win32Window(WindowLayout layout, HWND owner) : layout_(std::move(layout)) {
  InitWin32Windows();
  HDC screen = GetDC(nullptr);
  dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  // No WS_CLIPCHILDREN anywhere: a group box leaves its inside to its parent to paint.
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  DWORD exStyle = WS_EX_CONTROLPARENT;
  const unsigned s = layout_.style;
  if (s & kNoBorder) style = WS_POPUP;
  if (s & kNoTitleButtons) style &= ~static_cast<DWORD>(WS_SYSMENU);
  if (s & kResizable) style |= WS_THICKFRAME;
  if (s & kOnTop) exStyle |= WS_EX_TOPMOST;
  if (!owner && !(s & kNoBorder)) {
    // The main window: a minimize box, no maximize box, in the taskbar.
    style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    exStyle |= WS_EX_APPWINDOW;
  } else if (owner) {
    exStyle |= WS_EX_DLGMODALFRAME;
  } else {
    exStyle |= WS_EX_TOOLWINDOW;  // the splash: not in the taskbar
  }
  hwnd_ = CreateWindowExW(exStyle, kWindowClass, W(layout_.caption).c_str(), style, CW_USEDEFAULT,
                          CW_USEDEFAULT, 100, 100, owner, nullptr, GetModuleHandleW(nullptr), this);
  OurWindows().insert(hwnd_);
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0,
                             0, 0, 0, hwnd_, nullptr, nullptr, nullptr);
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, Scale(500));
  SetClientSize(layout_.width, layout_.height);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(ControlEntry{})), FALSE);
  Build();
}

Win32Window::~Win32Window() {
  OurWindows().erase(hwnd_);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
  for (auto& [key, font] : fonts_) DeleteObject(font);
}

int Win32Window::Scale(int pixels) const {
  return MulDiv(pixels, dpi_, 96);
}

HWND Win32Window::Named(const std::string& name) const {
  auto found = windows_.find(name);
  return found == windows_.end() ? nullptr : found->second;
}

HMENU Win32Window::MenuNamed(const std::string& name) const {
  auto found = menus_.find(name);
  return found == menus_.end() ? nullptr : found->second;
}

UINT Win32Window::CommandOf(const std::string& name) const {
  auto found = commands_.find(name);
  return found == commands_.end() ? 0 : found->second;
}

HFONT Win32Window::FontFor(const ControlEntry& c, bool underline) {
  const std::string face = c.font.empty() ? layout_.fontName : c.font;
  const int points = c.points ? c.points : layout_.fontPoints;
  // Points in this screen's resolution; a negative size is pixels of the layout.
  const int height = points < 0 ? -Scale(-points) : -MulDiv(points, dpi_, 72);
  const bool bold = c.style & kBold;
  const std::string key =
      face + "|" + std::to_string(height) + "|" + (bold ? "b" : "") + (underline ? "u" : "");
  HFONT& font = fonts_[key];
  if (!font) {
    // The OEM font of the console programs: any fixed-pitch font of the system.
    const bool oem = face == "Terminal";
    font = CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       oem ? FIXED_PITCH | FF_MODERN : DEFAULT_PITCH | FF_DONTCARE,
                       oem ? L"Courier New" : W(face).c_str());
  }
  return font;
}

void Win32Window::SetHint(HWND control, const std::string& hint) {
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  std::wstring text = W(hint);
  tool.lpszText = text.data();
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32Window::SetClientSize(int width, int height) {
  RECT r{0, 0, Scale(width), Scale(height)};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE)));
  SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

ScreenRect Rect(const RECT& r) {
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

ScreenRect WorkAreaOf(HWND h) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(MonitorFromWindow(h, MONITOR_DEFAULTTONEAREST), &info);
  return Rect(info.rcWork);
}

}  // namespace

void Win32Window::CentreOver(HWND over) {
  RECT mine, theirs;
  GetWindowRect(hwnd_, &mine);
  GetWindowRect(over, &theirs);
  const ScreenRect at =
      CentredOver(mine.right - mine.left, mine.bottom - mine.top, Rect(theirs), WorkAreaOf(over));
  SetWindowPos(hwnd_, nullptr, at.left, at.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::CentreOnScreen() {
  RECT mine;
  GetWindowRect(hwnd_, &mine);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &info);
  const ScreenRect screen = Rect(info.rcMonitor);
  const ScreenRect at =
      CentredOver(mine.right - mine.left, mine.bottom - mine.top, screen, WorkAreaOf(hwnd_));
  SetWindowPos(hwnd_, nullptr, at.left, at.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::PaintNow(HWND window) {
  UpdateWindow(window);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0,
                      PM_REMOVE | PM_QS_PAINT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    DispatchMessageW(&msg);
  }
}

void Win32Window::RunModal() {
  HWND owner = GetWindow(hwnd_, GW_OWNER);
  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  modal_ = true;
  MSG msg;
  while (modal_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      PostQuitMessage(got == 0 ? static_cast<int>(msg.wParam) : 1);  // for the outer loop
      break;
    }
    if (PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  modal_ = false;
  if (owner) EnableWindow(owner, TRUE);
  ShowWindow(hwnd_, SW_HIDE);
  if (owner) SetActiveWindow(owner);
}

void Win32Window::EndModal() {
  modal_ = false;
  PostMessageW(hwnd_, WM_NULL, 0, 0);  // wakes the modal loop
}

bool Win32Window::PreTranslate(MSG& msg) {
  if (!msg.hwnd) return false;
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  if (!OurWindows().count(root)) return false;
  return IsDialogMessageW(root, &msg);
}

void Win32Window::SetBusy(bool busy) {
  Busy() = busy;
  SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void Win32Window::CloseBox() {
  if (modal_)
    EndModal();
  else
    ShowWindow(hwnd_, SW_HIDE);
}

void Win32Window::Resized(int width, int height) {
  const int dx = width - Scale(layout_.width), dy = height - Scale(layout_.height);
  for (const ControlEntry& c : layout_.controls) {
    const unsigned s = c.style;
    if (!(s & (kAnchorRight | kAnchorBottom | kStretchWidth | kStretchHeight | kCentredAcross)))
      continue;
    HWND h = Named(c.name);
    if (!h || c.kind == ControlKind::TabPage) continue;
    const int left =
        Scale(c.left) + ((s & kAnchorRight) ? dx : 0) + ((s & kCentredAcross) ? dx / 2 : 0);
    const int top = Scale(c.top) + ((s & kAnchorBottom) ? dy : 0);
    SetWindowPos(h, nullptr, left, top, Scale(c.width) + ((s & kStretchWidth) ? dx : 0),
                 Scale(c.height) + ((s & kStretchHeight) ? dy : 0), SWP_NOZORDER | SWP_NOACTIVATE);
    if (c.kind == ControlKind::TabControl || c.kind == ControlKind::ButtonTabControl)
      controls_.Get<W32TabControl>(c.name).Place();
  }
}

void Win32Window::PressButtonWith(unsigned style) {
  for (const ControlEntry& c : layout_.controls) {
    if ((c.kind != ControlKind::Button && c.kind != ControlKind::GlyphButton) || !(c.style & style))
      continue;
    HWND h = Named(c.name);
    if (h && AncestorsEnabled(h) && IsWindowVisible(h)) SendMessageW(h, BM_CLICK, 0, 0);
    return;
  }
}

LRESULT Win32Window::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT Win32Window::Message(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      if (lParam) {
        auto found = byWindow_.find(reinterpret_cast<HWND>(lParam));
        if (found != byWindow_.end()) {
          found->second->Command(HIWORD(wParam));
          return 0;
        }
      }
      const UINT id = LOWORD(wParam);
      if (!lParam && id == IDCANCEL) {
        PressButtonWith(kCancel);
        return 0;
      }
      if (!lParam && id == IDOK) {
        PressButtonWith(kDefault);
        return 0;
      }
      auto found = byId_.find(id);
      if (found != byId_.end()) found->second->Command(HIWORD(wParam));
      return 0;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      auto found = byWindow_.find(header->hwndFrom);
      if (found != byWindow_.end()) return found->second->Notify(*header);
      break;
    }
    case WM_TIMER: {
      auto found = byId_.find(static_cast<UINT>(wParam));
      if (found != byId_.end()) found->second->Timer();
      return 0;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      auto found = byWindow_.find(item->hwndItem);
      if (found != byWindow_.end() && found->second->Draw(*item)) return TRUE;
      break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
      auto found = byWindow_.find(reinterpret_cast<HWND>(lParam));
      if (found != byWindow_.end())
        if (HBRUSH brush = found->second->Colour(reinterpret_cast<HDC>(wParam)))
          return reinterpret_cast<LRESULT>(brush);
      break;
    }
    case WM_SETCURSOR:
      if (Busy()) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      if (std::find(linkLabels_.begin(), linkLabels_.end(), reinterpret_cast<HWND>(wParam)) !=
          linkLabels_.end()) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case DM_GETDEFID:
      for (const ControlEntry& c : layout_.controls)
        if ((c.style & kDefault) && Named(c.name))
          return MAKELRESULT(GetDlgCtrlID(Named(c.name)), DC_HASDEFID);
      return 0;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) Resized(LOWORD(lParam), HIWORD(lParam));
      break;
    case WM_GETMINMAXINFO:
      if (layout_.minWidth > 0 || layout_.minHeight > 0) {
        RECT r{0, 0, Scale(layout_.minWidth), Scale(layout_.minHeight)};
        AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE)));
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = std::max<LONG>(info->ptMinTrackSize.x, r.right - r.left);
        info->ptMinTrackSize.y = std::max<LONG>(info->ptMinTrackSize.y, r.bottom - r.top);
        return 0;
      }
      break;
    case WM_CLOSE:
      CloseBox();
      return 0;
    default:
      break;
  }
  return Default(message, wParam, lParam);
}

LRESULT CALLBACK Win32Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    static_cast<Win32Window*>(create->lpCreateParams)->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  return self->Message(message, wParam, lParam);
}

}  // namespace lanvoy
