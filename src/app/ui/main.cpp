// Lanvoy: the program. Creates the platform, runs the start-up and the message loop.
#include <QApplication>
#include <iostream>
#include <string>
#include <vector>

#include "app/ui/program.h"
#include "mainwindow/ui/main_form.h"
#include "mainwindow/ui/qt_questions.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Lanvoy");
  std::unique_ptr<lanvoy::platform::Platform> platform = lanvoy::platform::CreatePlatform();
  // The arguments as the system split them: on Windows quotes group blanks.
  std::vector<std::string> args(argv + 1, argv + argc);
  lanvoy::QtQuestions questions;
  lanvoy::TLanvoyProgram program(*platform, questions, platform->system().ExecutablePath(), args,
                                 std::cerr);
  program.OnMainFormConstructed = [&](lanvoy::TMainForm& form) { questions.SetOwner(&form); };
  if (!program.Start()) return program.ExitCode();
  QObject::connect(&program.MainForm(), &lanvoy::TMainForm::Closed, &app, &QApplication::quit,
                   Qt::QueuedConnection);
  return QApplication::exec();
}
