// TFormStartBild: the splash window, shown while the main window is created.
#pragma once

#include "mainwindow/main_window_view.h"
#include "mainwindow/qt/qt_controls.h"

namespace lanvoy {

class TFormStartBild : public QtLayoutWindow, public SplashView {
 public:
  TFormStartBild();
  void ShowNow() override;
};

}  // namespace lanvoy
