// The help window with its fixed text, and the splash window of the start.
#pragma once

#include "mainwindow/main_window_view.h"
#include "mainwindow/win32/win32_controls.h"

namespace lanvoy {

// Shown modally, centred over its owner.
class TFormHelp : public Win32Window, public HelpView {
 public:
  explicit TFormHelp(HWND owner);
  void ShowModal() override;
};

// Shown while the main window is created.
class TFormStartBild : public Win32Window, public SplashView {
 public:
  TFormStartBild();
  void ShowNow() override;

 protected:
  LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace lanvoy
