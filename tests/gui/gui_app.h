// One QApplication for the window tests, on the offscreen platform.
#pragma once

#include <QApplication>

namespace lanvoy::test {

inline QApplication& GuiApp() {
  static int argc = 1;
  static char name[] = "lanvoy_gui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    // Offscreen unless a display is asked for (screenshots under Xvfb).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *app;
}

}  // namespace lanvoy::test
