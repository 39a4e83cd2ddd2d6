// The program's start: the splash window, the windows in their order, then either the
// interactive program or the unattended apply of the profile named on the command line.
// The toolkit makes the windows and runs the message loop afterwards.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/startup.h"
#include "apply/apply_session.h"
#include "mainwindow/main_window_view.h"
#include "mainwindow/questions.h"
#include "platform/platform.h"

namespace lanvoy {

class TMainForm;

// Whether the start shows no window at all: an unattended apply or undo ("hide"), "--keep",
// "--current", "--help" and the elevated copy. Such a start needs no display, and the toolkit
// gives it windows without one (MemoryWindows).
bool StartsWithoutWindows(const std::vector<std::string>& args);

// The platform that create makes (the backend's CreatePlatform). When it cannot be made,
// its message goes to err and, unless the start is unattended (nobody would answer), to
// errorBox; nullptr then, and the program ends with kExitApplyFailed.
std::unique_ptr<platform::Platform> CreatePlatformOrTell(
    const std::vector<std::string>& args, std::ostream& err,
    const std::function<void(const std::string& message)>& errorBox,
    const std::function<std::unique_ptr<platform::Platform>()>& create);

// Such a start: the program on windows without a display and without a toolkit, every
// question on err. Returns the exit code.
int RunWithoutWindows(platform::Platform& platform, const std::vector<std::string>& args,
                      std::ostream& out, std::ostream& err);

class TLanvoyProgram {
 public:
  // args: the arguments after the program name. Messages for the caller of an unattended
  // apply go to err.
  TLanvoyProgram(platform::Platform& platform, Questions& questions, WindowFactory& windows,
                 std::string exePath, std::vector<std::string> args, std::ostream& err);
  ~TLanvoyProgram();

  // Runs the start-up up to the message loop. false: the unattended apply is done and the
  // program ends with ExitCode().
  bool Start();
  int ExitCode() const { return exitCode_; }

  TMainForm& MainForm() { return *form_; }
  MainWindowView& MainWindow() { return *window_; }
  bool SplashShown() const { return splashShown_; }
  bool DebugMode() const { return debugMode_; }

  // Runs once the main window exists, before its creation sequence.
  std::function<void(TMainForm&)> OnMainFormConstructed;
  // The splash pause of a start without arguments.
  std::chrono::milliseconds SplashPause{3000};
  // The pause in each of the apply's stages 2 to 5.
  std::chrono::milliseconds ApplyPause = kStagePause;
  // Where the results of a command ("--current", "--list" ...) go, in the console's code
  // page; without one, to err. StoreOut: text as the store holds it ("--export").
  std::ostream* Out = nullptr;
  std::ostream* StoreOut = nullptr;

 private:
  // "--current [NAME]": Get Current as a section of the store.
  void PrintCurrent(const StartupArguments& arguments);
  // The commands on the store and the history, which need no window; false for others.
  bool RunStoreCommand(const StartupArguments& arguments);
  // "--check NAME": the checks of an apply, nothing applied.
  void CheckProfile(const StartupArguments& arguments);
  CommandOutput Output();
  // The profile shown, stored under name; without a name, the one the arguments name, loaded
  // from the store.
  void UnattendedApply(const StartupArguments& arguments, std::string name = "");
  // "--handover": the profile the window that started this copy showed.
  void HandedOverApply(const StartupArguments& arguments);
  // "--undo [N]": back to the state before the apply N applies ago.
  void UnattendedUndo(const StartupArguments& arguments);

  platform::Platform& platform_;
  WindowFactory& windows_;
  std::string exePath_;
  std::vector<std::string> args_;
  std::ostream& err_;
  // What the program asks goes to err while nobody is there to answer.
  UnattendedQuestions unattended_;
  std::unique_ptr<SplashView> splash_;
  // The window outlives its logic, which saves the options from its controls.
  std::unique_ptr<MainWindowView> window_;
  std::unique_ptr<TMainForm> form_;
  int exitCode_ = kExitApplied;
  bool splashShown_ = false;
  bool debugMode_ = false;
};

}  // namespace lanvoy
