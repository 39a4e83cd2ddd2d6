// One QApplication for the window tests, on the offscreen platform.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <functional>

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

// Runs the event loop until done() holds or ms have passed; returns whether it held.
inline bool ProcessEventsUntil(const std::function<bool()>& done, int ms) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() >= ms) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

}  // namespace lanvoy::test
