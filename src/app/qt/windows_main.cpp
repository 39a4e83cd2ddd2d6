// The program's windows, in a module of their own (lanvoy_windows.so beside the program):
// the program loads it, and Qt with it, only when a window is to be shown.
#include <QApplication>
#include <iostream>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/qt/windows_module.h"
#include "mainwindow/qt/qt_main_window.h"
#include "mainwindow/qt/qt_questions.h"
#include "mainwindow/qt/qt_text.h"
#include "platform/platform.h"

extern "C" int LanvoyRunWindows(int argc, char** argv) {
  // The arguments are the program's own, as the system split them. Qt gets only the program
  // name, so that a profile called "-reverse" or "-style" is not taken for a Qt option.
  std::vector<std::string> args(argv + 1, argv + argc);
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  QApplication::setApplicationName("Lanvoy");
  lanvoy::QtQuestions questions;
  std::unique_ptr<lanvoy::platform::Platform> platform = lanvoy::CreatePlatformOrTell(
      args, std::cerr,
      [&](const std::string& message) {
        questions.MessageDlg(message, lanvoy::mtError, {lanvoy::mbOK});
      },
      lanvoy::platform::CreatePlatform);
  if (!platform) return lanvoy::kExitApplyFailed;
  args = lanvoy::platform::ProgramArguments(argc, argv, platform->system());
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

extern "C" void LanvoyErrorBox(char* argv0, const char* message) {
  int qtArgc = 1;
  QApplication app(qtArgc, &argv0);
  lanvoy::QtQuestions().MessageDlg(message, lanvoy::mtError, {lanvoy::mbOK});
}
