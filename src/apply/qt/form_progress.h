// TFormProgress: the small window that shows the stage of an apply. It has no behaviour of
// its own; the apply sequence sets its range, position, label and visibility.
#pragma once

#include "mainwindow/main_window_view.h"
#include "mainwindow/qt/qt_controls.h"

namespace lanvoy {

class TFormProgress : public QtLayoutWindow, public LayoutProgressView {
 public:
  explicit TFormProgress(QWidget* owner);
  void Close() override { hide(); }

 protected:
  ControlSet& ProgressControls() override { return Controls(); }
  void HideWindow() override { hide(); }
  void ShowInFront() override;
};

}  // namespace lanvoy
