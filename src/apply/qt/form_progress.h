// TFormProgress: the small window that shows the stage of an apply. It has no behaviour of
// its own; the apply sequence sets its range, position, label and visibility.
#pragma once

#include "mainwindow/main_window_view.h"
#include "mainwindow/qt/qt_controls.h"

namespace lanvoy {

class TFormProgress : public QtLayoutWindow, public ProgressView {
 public:
  explicit TFormProgress(QWidget* owner);
  void SetRange(int minimum, int maximum) override;
  void ShowStage(int position, const std::string& label, bool visible) override;
  void Close() override { hide(); }
};

}  // namespace lanvoy
