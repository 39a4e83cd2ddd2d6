// TFormNetDetails: the text window of the LAN state view. Created once and reused; closing
// it only hides it.
#pragma once

#include <string>

#include "mainwindow/main_window_view.h"
#include "mainwindow/win32/win32_controls.h"

namespace lanvoy {

class TFormNetDetails : public Win32Window, public LanStateView {
 public:
  explicit TFormNetDetails(HWND owner);

  ControlSet& Controls() override { return Win32Window::Controls(); }
  void SetText(const std::string& text) override;
  void AppendLine(const std::string& line) override;
  void ReplaceLastLine(const std::string& line) override;
  void ShowModal() override { RunModal(); }

 private:
  HWND memo_;
};

}  // namespace lanvoy
