// Lanvoy: the program. Creates the platform and the main window and runs the message loop.
#include <QApplication>
#include <string>
#include <vector>

#include "mainwindow/ui/main_form.h"
#include "mainwindow/ui/qt_questions.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Lanvoy");
  std::unique_ptr<lanvoy::platform::Platform> platform = lanvoy::platform::CreatePlatform();
  std::vector<std::string> args(argv + 1, argv + argc);
  lanvoy::QtQuestions questions;
  lanvoy::TMainForm form(*platform, questions, platform->system().ExecutablePath(), args);
  questions.SetOwner(&form);
  form.FormCreate();
  return app.exec();
}
