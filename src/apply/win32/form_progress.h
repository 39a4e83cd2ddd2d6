// TFormProgress: the small window that shows the stage of an apply. It has no behaviour of
// its own; the apply sequence sets its range, position, label and visibility.
#pragma once

#include "mainwindow/main_window_view.h"
#include "mainwindow/win32/win32_controls.h"

namespace lanvoy {

class TFormProgress : public Win32Window, public LayoutProgressView {
 public:
  explicit TFormProgress(HWND owner);
  void Close() override { ShowWindow(Handle(), SW_HIDE); }

 protected:
  ControlSet& ProgressControls() override { return Controls(); }
  void HideWindow() override { ShowWindow(Handle(), SW_HIDE); }
  void ShowInFront() override;
};

}  // namespace lanvoy
