#include "app/program.h"

#include <ostream>
#include <thread>

#include "app/startup.h"
#include "base/strings.h"
#include "mainwindow/main_form.h"

namespace lanvoy {

TLanvoyProgram::TLanvoyProgram(platform::Platform& platform, Questions& questions,
                               WindowFactory& windows, std::string exePath,
                               std::vector<std::string> args, std::ostream& err)
    : platform_(platform),
      questions_(questions),
      windows_(windows),
      exePath_(std::move(exePath)),
      args_(std::move(args)),
      err_(err),
      unattended_(questions, err) {}

TLanvoyProgram::~TLanvoyProgram() {
  form_.reset();
  window_.reset();
}

bool TLanvoyProgram::Start() {
  const StartupArguments arguments = ParseStartupArguments(args_);
  unattended_.SetUnattended(arguments.hide);
  const std::string programDirectory = platform_.system().NativePath(ExtractFilePath(exePath_));

  splash_ = windows_.CreateSplash();
  if (!MarkerFileExists(programDirectory, kNoSplashMarker)) {
    splash_->ShowNow();
    splashShown_ = true;
    if (!arguments.hasArguments) std::this_thread::sleep_for(SplashPause);
  }

  // The main window's creation shows it, unless argument 2 is "hide"; the progress and help
  // windows come with it.
  form_.reset();
  window_ = windows_.CreateMainWindow();
  form_ = std::make_unique<TMainForm>(platform_, unattended_, exePath_, args_, *window_);
  form_->ApplyPause = ApplyPause;
  if (OnMainFormConstructed) OnMainFormConstructed(*form_);
  form_->FormCreate();

  if (arguments.hasArguments) {
    if (form_->Store().ProfileExists(arguments.profileName)) {
      UnattendedApply(arguments.hide);
      splash_.reset();
      return false;
    }
    // No apply: the interactive program follows, with its questions in the window.
    unattended_.SetUnattended(false);
    const std::string message = ProfileNotFoundMessage(arguments.profileName);
    // Who started the program from a script sees it too.
    err_ << message << std::endl;
    questions_.MessageDlg(message, mtError, {mbOK});
    window_->Show();
  }

  form_->CreateNetDetailsForm();
  if (MarkerFileExists(programDirectory, kDebugMarker)) {
    form_->SetDebugMode();
    debugMode_ = true;
  }
  splash_.reset();
  return true;
}

void TLanvoyProgram::UnattendedApply(bool hide) {
  try {
    form_->LoadProfile(args_[0]);
    const ApplyOutcome outcome = form_->ApplyProfile(!hide);
    if (!outcome.NetshSucceeded()) {
      for (const std::string& line : outcome.netshErrors) err_ << line << '\n';
      if (outcome.netshErrors.empty())
        err_ << "netsh ended with exit code " << outcome.netshExitCode << '\n';
      exitCode_ = kExitNetshErrors;
    }
    if (!outcome.hostsError.empty()) {
      err_ << outcome.hostsError << '\n';
      exitCode_ = kExitNetshErrors;
    }
  } catch (const std::exception& e) {
    err_ << e.what() << '\n';
    exitCode_ = kExitApplyFailed;
  }
  err_.flush();
}

}  // namespace lanvoy
