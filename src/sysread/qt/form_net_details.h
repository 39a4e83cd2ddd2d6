// TFormNetDetails: the text window of the LAN state view. Created once and reused; closing
// it only hides it.
#pragma once

#include <string>

#include "mainwindow/main_window_view.h"
#include "mainwindow/qt/qt_controls.h"

class QPlainTextEdit;

namespace lanvoy {

class TFormNetDetails : public QtLayoutWindow, public LanStateView {
 public:
  explicit TFormNetDetails(QWidget* owner);

  ControlSet& Controls() override { return QtLayoutWindow::Controls(); }
  void SetText(const std::string& text) override;
  void AppendLine(const std::string& line) override;
  void ReplaceLastLine(const std::string& line) override;
  void ShowModal() override { exec(); }

 private:
  QPlainTextEdit* memo_;
};

}  // namespace lanvoy
