// TFormProgress: the small window that shows the stage of an apply. It has no behaviour of
// its own; the apply sequence sets its range, position, label and visibility.
#pragma once

#include "mainwindow/main_window_view.h"
#include "mainwindow/win32/win32_controls.h"

namespace lanvoy {

class TFormProgress : public Win32Window, public ProgressView {
 public:
  explicit TFormProgress(HWND owner);
  void SetRange(int minimum, int maximum) override;
  void ShowStage(int position, const std::string& label, bool visible) override;
  void Close() override { ShowWindow(Handle(), SW_HIDE); }
};

}  // namespace lanvoy
