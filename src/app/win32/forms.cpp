#include "app/win32/forms.h"

#include "app/help_text.h"
#include "base/strings.h"

namespace lanvoy {

TFormHelp::TFormHelp(HWND owner) : Win32Window(HelpFormLayout(), owner) {
  std::string text;
  for (const std::string& line : HelpTextLines()) text += line + kCRLF;
  Controls().Get<Memo>("Memo1").SetText(text);
  Controls().Get<Button>("Button1").OnClick = [this] { EndModal(); };
}

void TFormHelp::ShowModal() {
  if (HWND owner = GetWindow(Handle(), GW_OWNER)) CentreOver(owner);
  RunModal();
}

TFormStartBild::TFormStartBild() : Win32Window(SplashFormLayout(), nullptr) {}

void TFormStartBild::ShowNow() {
  CentreOnScreen();
  ShowWindow(Handle(), SW_SHOWNOACTIVATE);
  PaintNow(Handle());
}

LRESULT TFormStartBild::Message(UINT message, WPARAM wParam, LPARAM lParam) {
  // FormCreate: no mouse pointer over the picture.
  if (message == WM_SETCURSOR) {
    SetCursor(nullptr);
    return TRUE;
  }
  return Win32Window::Message(message, wParam, lParam);
}

}  // namespace lanvoy
