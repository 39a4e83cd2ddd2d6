// Lanvoy: the program. Creates the platform, runs the start-up and the message loop.
#include <QApplication>
#include <iostream>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/startup.h"
#include "mainwindow/qt/qt_main_window.h"
#include "mainwindow/qt/qt_questions.h"
#include "mainwindow/qt/qt_text.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  // The arguments are the program's own, as the system split them. Qt gets only the program
  // name, so that a profile called "-reverse" or "-style" is not taken for a Qt option.
  const std::vector<std::string> args(argv + 1, argv + argc);
  // As every other error: in the error box, and for a script on standard error.
  std::unique_ptr<lanvoy::platform::Platform> platform =
      lanvoy::CreatePlatformOrTell(args, std::cerr, [&](const std::string& message) {
        int qtArgc = 1;
        QApplication app(qtArgc, argv);
        lanvoy::QtQuestions().MessageDlg(message, lanvoy::mtError, {lanvoy::mbOK});
      });
  if (!platform) return lanvoy::kExitApplyFailed;
  if (lanvoy::StartsWithoutWindows(args, platform->system().ExecutablePath()))
    return lanvoy::RunWithoutWindows(*platform, args, std::cerr);

  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  QApplication::setApplicationName("Lanvoy");
  lanvoy::QtQuestions questions;
  // The program's 8-bit text is in the machine's code pages; Qt's is Unicode.
  lanvoy::InstallQtCodePages(platform->system());
  lanvoy::QtWindowFactory windows;
  lanvoy::TLanvoyProgram program(*platform, questions, windows, platform->system().ExecutablePath(),
                                 args, std::cerr);
  auto window = [&] { return dynamic_cast<lanvoy::QtMainWindow*>(&program.MainWindow()); };
  program.OnMainFormConstructed = [&](lanvoy::TMainForm&) { questions.SetOwner(window()); };
  if (!program.Start()) return program.ExitCode();
  QObject::connect(window(), &lanvoy::QtMainWindow::ClosedForGood, &app, &QApplication::quit,
                   Qt::QueuedConnection);
  return QApplication::exec();
}
