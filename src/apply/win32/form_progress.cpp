#include "apply/win32/form_progress.h"

namespace lanvoy {

TFormProgress::TFormProgress(HWND owner) : Win32Window(ProgressFormLayout(), owner) {
  SetRange(0, 3);
}

void TFormProgress::ShowInFront() {
  if (!IsWindowVisible(Handle())) {
    HWND owner = GetWindow(Handle(), GW_OWNER);
    if (owner && IsWindowVisible(owner)) CentreOver(owner);
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
  }
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // The apply blocks the message loop: painted now, the user's input waits.
  PaintNow(Handle());
}

}  // namespace lanvoy
