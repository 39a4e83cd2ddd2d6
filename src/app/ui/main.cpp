// Lanvoy: the program. Creates the platform and the main window and runs the message loop.
#include <QApplication>
#include <string>
#include <vector>

#include "base/strings.h"
#include "components/appexec.h"
#include "components/sys_info.h"
#include "mainwindow/ui/main_form.h"
#include "mainwindow/ui/qt_questions.h"
#include "platform/platform.h"
#include "sysread/current_settings_reader.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Lanvoy");
  std::unique_ptr<lanvoy::platform::Platform> platform = lanvoy::platform::CreatePlatform();
  std::vector<std::string> args(argv + 1, argv + argc);
  lanvoy::QtQuestions questions;
  lanvoy::TMainForm form(*platform, questions, platform->system().ExecutablePath(), args);
  questions.SetOwner(&form);

  // Get Current runs the dump batch file hidden and waits for it.
  lanvoy::TAppExec tempBat(platform->processes());
  tempBat.SetWait(true);
  tempBat.SetWindowState(lanvoy::wsMinimized);
  tempBat.SetHideIfMinimized(true);
  lanvoy::TSysInfo sysInfo(platform->system());
  const std::string programDirectory =
      lanvoy::ExtractFilePath(platform->system().ExecutablePath());
  form.OnReadCurrentSettings = [&](lanvoy::CurrentSettingsSink& sink) {
    lanvoy::ReadContext context{*platform, programDirectory, sysInfo.WindowsDirectory(), tempBat};
    lanvoy::ReadCurrentSettings(context, sink);
  };
  form.FormCreate();
  return app.exec();
}
