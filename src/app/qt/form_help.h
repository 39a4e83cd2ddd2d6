// FormHelp: the help window with its fixed text, shown modally over the main window.
#pragma once

#include "mainwindow/main_window_view.h"
#include "mainwindow/qt/qt_controls.h"

namespace lanvoy {

// Shown modally, centred over its owner.
class TFormHelp : public QtLayoutWindow, public HelpView {
 public:
  explicit TFormHelp(QWidget* owner);
  void ShowModal() override;
};

}  // namespace lanvoy
