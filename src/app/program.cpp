#include "app/program.h"

#include <optional>
#include <ostream>
#include <thread>

#include "app/console_stream.h"
#include "app/startup.h"
#include "apply/preflight.h"
#include "apply/safe_apply.h"
#include "base/files.h"
#include "base/strings.h"
#include "components/appexec.h"
#include "components/sys_info.h"
#include "mainwindow/main_form.h"
#include "mainwindow/memory_window.h"
#include "profiles/profile_store.h"
#include "sysread/current_record.h"

namespace lanvoy {

TLanvoyProgram::TLanvoyProgram(platform::Platform& platform, Questions& questions,
                               WindowFactory& windows, std::string exePath,
                               std::vector<std::string> args, std::ostream& err)
    : platform_(platform),
      windows_(windows),
      exePath_(std::move(exePath)),
      args_(std::move(args)),
      err_(err),
      unattended_(questions, err) {
  // A box of the start (its notice, an error) never opens under the splash, which stays on
  // top and would take its clicks.
  unattended_.OnBeforeBox = [this] { splash_.reset(); };
}

std::unique_ptr<platform::Platform> CreatePlatformOrTell(
    const std::vector<std::string>& args, std::ostream& err,
    const std::function<void(const std::string& message)>& errorBox,
    const std::function<std::unique_ptr<platform::Platform>()>& create) {
  try {
    return create();
  } catch (const std::exception& e) {
    err << e.what() << std::endl;
    if (!ParseStartupArguments(args).Windowless()) errorBox(e.what());
    return nullptr;
  }
}

bool StartsWithoutWindows(const std::vector<std::string>& args) {
  // Asked to run unattended, a start never waits in a window: a name not in the store ends
  // it with its message. Without "hide" such a name shows its message in the window.
  return ParseStartupArguments(args).Windowless();
}

int RunWithoutWindows(platform::Platform& platform, const std::vector<std::string>& args,
                      std::ostream& out, std::ostream& err) {
  // The caller's console reads its own code page; a store's text goes as the store has it.
  const uint32_t page = platform::ConsoleCodePage(platform.system());
  ConsoleStream consoleOut(out, platform.system(), page), consoleErr(err, platform.system(), page);
  WindowlessQuestions questions(consoleErr);
  MemoryWindows windows;
  TLanvoyProgram program(platform, questions, windows, platform.system().ExecutablePath(), args,
                         consoleErr);
  program.Out = &consoleOut;
  program.StoreOut = &out;
  // The store changed in between and the profile is gone: the program would wait in a window.
  if (program.Start()) return kExitApplyFailed;
  return program.ExitCode();
}

TLanvoyProgram::~TLanvoyProgram() {
  form_.reset();
  window_.reset();
}

bool TLanvoyProgram::Start() {
  const StartupArguments arguments = ParseStartupArguments(args_);
  if (!arguments.error.empty()) {
    err_ << arguments.error << "\r\n\r\n" << UsageText() << std::flush;
    exitCode_ = kExitApplyFailed;
    return false;
  }
  if (arguments.command == Command::Help) {
    (Out ? *Out : err_) << UsageText() << std::flush;
    return false;
  }
  if (RunStoreCommand(arguments)) return false;
  if (arguments.command == Command::Keep) {
    // Tells an unattended apply waiting for it to keep its settings; nothing else runs.
    if (!KeepWaiting(StorePathFor(exePath_))) {
      err_ << "No apply is waiting to be kept." << std::endl;
      exitCode_ = kExitApplyFailed;
    } else if (!WriteFileAtomic(KeepFilePath(StorePathFor(exePath_)), "")) {
      err_ << "Cannot create file " << KeepFilePath(StorePathFor(exePath_)) << std::endl;
      exitCode_ = kExitApplyFailed;
    }
    return false;
  }
  if (arguments.command == Command::Current) {
    PrintCurrent(arguments);
    return false;
  }
  unattended_.SetUnattended(arguments.hide);
  if (arguments.command == Command::Check) {
    CheckProfile(arguments);
    return false;
  }
  // With an administrator's rights no file is written through a link another user laid.
  RefuseLinkedFiles(platform_.system().Elevated());
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
  form_ =
      std::make_unique<TMainForm>(platform_, unattended_, exePath_, arguments.positional, *window_);
  form_->ApplyPause = ApplyPause;
  if (OnMainFormConstructed) OnMainFormConstructed(*form_);
  form_->FormCreate();

  if (arguments.command == Command::Undo) {
    UnattendedUndo(arguments);
    splash_.reset();
    return false;
  }
  if (!arguments.handover.empty()) {
    HandedOverApply(arguments);
    splash_.reset();
    return false;
  }
  if (arguments.hasArguments) {
    if (form_->Store().ProfileExists(arguments.profileName)) {
      UnattendedApply(arguments);
      splash_.reset();
      return false;
    }
    const std::string message = ProfileNotFoundMessage(arguments.profileName);
    // Who started the program from a script sees it too.
    err_ << message << std::endl;
    if (arguments.hide) {
      // Nobody is there to use a window: the start ends, and says why.
      exitCode_ = kExitApplyFailed;
      splash_.reset();
      return false;
    }
    // No apply: the interactive program follows, with its questions in the window.
    unattended_.SetUnattended(false);
    unattended_.MessageDlg(message, mtError, {mbOK});
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

void TLanvoyProgram::PrintCurrent(const StartupArguments& arguments) {
  try {
    if (!TProfileStore::IsValidProfileName(arguments.currentName))
      throw EProfileNameError(arguments.currentName);
    TAppExec tempBat(platform_.processes());
    tempBat.SetWait(true);
    tempBat.SetWindowState(wsMinimized);
    tempBat.SetHideIfMinimized(true);
    TSysInfo info(platform_.system());
    ReadContext context{platform_, ExtractFilePath(exePath_), info.WindowsDirectory(), tempBat};
    std::vector<std::string> problems;
    const auto lock = platform_.system().LockApplies(std::chrono::seconds(60));
    if (!lock) {
      exitCode_ = ApplySession::BusyExitCode(err_);
      return;
    }
    const ProfileRecord record = ReadCurrentRecord(context, problems);
    for (const std::string& p : problems) err_ << p << '\n';
    CommandOutput io = Output();
    if (arguments.json)
      PrintJson(io.out, CurrentJson(arguments.currentName, record, problems, io));
    else
      // A section of the store as the store has it: "--current X >> Lanvoy.INI" adds it.
      io.store << TProfileStore::SectionText(arguments.currentName, record) << std::flush;
  } catch (const std::exception& e) {
    err_ << e.what() << '\n';
    exitCode_ = kExitApplyFailed;
  }
  err_.flush();
}

void TLanvoyProgram::HandedOverApply(const StartupArguments& arguments) {
  try {
    // The profile as the window showed it, in a folder of this process that nobody else may
    // enter: not the store, which the user's processes may have changed meanwhile.
    const std::optional<std::string> bytes = platform_.shell().ReceiveHandover(arguments.handover);
    if (!bytes) throw Error("The profile to apply did not come from the window that asked for it.");
    std::string why;
    auto folder = platform_.system().MakeScratchFolder(why);
    if (!folder || !folder->Create("profile.INI", *bytes))
      throw EFCreateError("profile.INI" + (why.empty() ? "" : " (" + why + ")"));
    TProfileStore handed(platform_.system().NativePath(folder->Path() + "profile.INI"));
    const std::vector<std::string> names = handed.ProfileNames();
    if (names.size() != 1) throw Error("The window handed over no profile to apply.");
    form_->ShowRecord(handed.LoadProfile(names[0]));
    UnattendedApply(arguments, names[0]);
  } catch (const std::exception& e) {
    err_ << e.what() << '\n';
    exitCode_ = kExitApplyFailed;
  }
  err_.flush();
}

void TLanvoyProgram::UnattendedApply(const StartupArguments& arguments, std::string name) {
  const bool hide = arguments.hide;
  ApplyRun run;
  run.command = "apply";
  run.profile = name;
  try {
    if (name.empty()) {
      // The history names the profile as the store has it, not as it was typed.
      name = arguments.profileName;
      for (const std::string& stored : form_->Store().ProfileNames())
        if (SameText(stored, name)) name = stored;
      run.profile = name;
      form_->LoadProfile(name);
    }
    const std::string keep = KeepFilePath(StorePathFor(exePath_));
    // An old answer is none to this apply; one given while the stages run is.
    std::optional<KeepWait> waiting;
    if (arguments.confirmWithin > 0) {
      DeleteFileAt(keep);
      waiting.emplace(StorePathFor(exePath_));
    }
    ApplySession session = form_->Session();
    run.report =
        session.Apply(form_->ShownRecord(), name, !hide, [&](const std::vector<Finding>& findings) {
          err_ << FindingsText(findings);
          return arguments.force || !HasErrors(findings);
        });
    const ApplyReport& report = *run.report;
    if (report.busy) {
      exitCode_ = UnattendedExitCode(report, err_);
    } else if (report.refused) {
      err_ << "Nothing was changed. Mend the profile, or apply it anyway with --force." << '\n';
      exitCode_ = kExitRefused;
    } else {
      exitCode_ = UnattendedExitCode(report, err_);
      if (arguments.confirmWithin > 0) {
        run.confirmWithin = arguments.confirmWithin;
        if (!WaitForKeep(keep, std::chrono::seconds(arguments.confirmWithin))) {
          err_ << "Not kept within " << arguments.confirmWithin
               << " seconds: the settings before the apply come back." << '\n';
          run.undone = session.Undo(!hide);
          UnattendedExitCode(*run.undone, err_);
          exitCode_ = kExitReverted;
        } else {
          run.kept = true;
          session.Kept();
        }
      }
    }
  } catch (const std::exception& e) {
    err_ << e.what() << '\n';
    run.error = e.what();
    exitCode_ = kExitApplyFailed;
  }
  err_.flush();
  if (arguments.json) {
    run.exitCode = exitCode_;
    CommandOutput io = Output();
    PrintJson(io.out, ApplyJson(run, io));
  }
}

void TLanvoyProgram::UnattendedUndo(const StartupArguments& arguments) {
  ApplyRun run;
  run.command = "undo";
  try {
    if (arguments.undoBack == 0)
      throw Error("--undo 0 undoes nothing: the last apply is 1; nothing was changed.");
    run.report = form_->Session().Undo(!arguments.hide, arguments.undoBack);
    run.profile = run.report->profile;
    exitCode_ = UnattendedExitCode(*run.report, err_);
  } catch (const std::exception& e) {
    err_ << e.what() << '\n';
    run.error = e.what();
    exitCode_ = kExitApplyFailed;
  }
  err_.flush();
  if (arguments.json) {
    run.exitCode = exitCode_;
    CommandOutput io = Output();
    PrintJson(io.out, ApplyJson(run, io));
  }
}

CommandOutput TLanvoyProgram::Output() {
  platform::System& system = platform_.system();
  return {Out ? *Out : err_,
          StoreOut ? *StoreOut
          : Out    ? *Out
                   : err_,
          err_, [&system](const std::string& text) {
            return system.ToUtf8(text, system.AnsiCodePage());
          }};
}

bool TLanvoyProgram::RunStoreCommand(const StartupArguments& a) {
  CommandOutput io = Output();
  TProfileStore store(StorePathFor(exePath_));
  try {
    switch (a.command) {
      case Command::List:
        exitCode_ = ListProfiles(store, a.json, io);
        return true;
      case Command::Show:
        exitCode_ = ShowProfile(store, a.names.front(), a.json, io);
        return true;
      case Command::Export:
        exitCode_ = ExportProfiles(store, a.names, a.all, a.to, io);
        return true;
      case Command::Import:
        // With an administrator's rights no file is written through a link another user laid.
        RefuseLinkedFiles(platform_.system().Elevated());
        exitCode_ = ImportProfiles(store, a.importFile, a.replace, io);
        return true;
      case Command::History:
        exitCode_ = ShowHistory(ApplyHistory(ApplyHistory::PathFor(store.FileName())),
                                a.historyLines, a.json, io);
        return true;
      default:
        return false;
    }
  } catch (const std::exception& e) {
    io.err << e.what() << std::endl;
    exitCode_ = kExitApplyFailed;
    return true;
  }
}

void TLanvoyProgram::CheckProfile(const StartupArguments& arguments) {
  CommandOutput io = Output();
  try {
    // The window's logic without its start: the checks read the machine as an apply would,
    // and nothing of the window's start (its notices, its options) runs.
    window_ = windows_.CreateMainWindow();
    form_ = std::make_unique<TMainForm>(platform_, unattended_, exePath_, arguments.positional,
                                        *window_);
    const TProfileStore store(StorePathFor(exePath_));
    const auto name = StoredName(store, arguments.names.front(), err_);
    if (!name) {
      exitCode_ = kExitApplyFailed;
      return;
    }
    const std::vector<Finding> findings = form_->Session().Check(store.LoadProfile(*name));
    exitCode_ = PrintCheck(*name, findings, arguments.json, io);
  } catch (const std::exception& e) {
    err_ << e.what() << std::endl;
    exitCode_ = kExitApplyFailed;
  }
}

}  // namespace lanvoy
