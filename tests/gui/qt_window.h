// The main window on Qt with its logic, as the program makes it, for the tests of the Qt
// side: its widgets are found by their names.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "gui_app.h"
#include "mainwindow/main_form.h"
#include "mainwindow/qt/qt_main_window.h"

namespace lanvoy::test {

struct QtWindow {
  // readCurrent: Get Current reads the machine (it needs netsh).
  QtWindow(platform::Platform& machine, Questions& questions, const std::string& exePath,
           bool readCurrent = false, NotificationArea* area = nullptr) {
    GuiApp();
    window = std::make_unique<QtMainWindow>(area);
    form = std::make_unique<TMainForm>(machine, questions, exePath, std::vector<std::string>{},
                                       *window);
    if (!readCurrent) {
      form->OnReadCurrentSettings = nullptr;
      form->OnReadConnections = nullptr;
    }
    form->ApplyPause = std::chrono::milliseconds(0);
    form->FormCreate();
  }
  ~QtWindow() {
    form.reset();
    window.reset();
  }
  template <class W>
  W* Find(const char* name) const {
    W* w = window->findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }

  std::unique_ptr<QtMainWindow> window;
  std::unique_ptr<TMainForm> form;
};

}  // namespace lanvoy::test
