// TAppExec: starts an external program from a name and a parameter list, shows its window
// in a chosen state and, when asked, blocks until the program has ended.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/error.h"
#include "platform/platform.h"

namespace lanvoy {

class EAppExec : public Error {
 public:
  using Error::Error;
};

// Changing to ExePath failed; the message is the failure's own.
class EAppExecChDir : public EAppExec {
 public:
  using EAppExec::EAppExec;
};

// Starting the program failed; the message is AppExecErrorText(ErrNo).
class EAppExecWinExec : public EAppExec {
 public:
  using EAppExec::EAppExec;
};

// The text the component gives for an ErrNo value ("" for codes it has no text for).
std::string AppExecErrorText(int32_t errNo);

enum TWindowState { wsNormal, wsMinimized, wsMaximized };

class TAppExec {
 public:
  // The command line is held in a buffer of this size, terminating NUL included.
  static constexpr size_t kCommandLineBuffer = 512;

  explicit TAppExec(platform::Processes& processes);

  bool ChangeDir() const { return changeDir_; }
  void SetChangeDir(bool value) { changeDir_ = value; }
  int32_t ErrNo() const { return errNo_; }
  const std::string& ExeName() const { return exeName_; }
  void SetExeName(const std::string& value) { exeName_ = value; }
  const std::vector<std::string>& ExeParams() const { return exeParams_; }
  void SetExeParams(const std::vector<std::string>& value) { exeParams_ = value; }
  std::vector<std::string>& ExeParams() { return exeParams_; }
  const std::string& ExePath() const { return exePath_; }
  // A trailing backslash is removed unless the path is "\" or a drive root such as C:\.
  void SetExePath(const std::string& value);
  bool Wait() const { return wait_; }
  void SetWait(bool value) { wait_ = value; }
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState value);
  bool HideIfMinimized() const { return hideIfMinimized_; }
  void SetHideIfMinimized(bool value);
  uint32_t Processhandle() const { return processHandle_; }
  // The show command handed to the started program (SW_...).
  uint16_t ShowCommand() const { return showCommand_; }

  // With Wait on as well, the program's standard output and error go into a pipe that
  // Execute reads until the program has ended; Output() and ExitCode() then hold what it
  // printed and its exit code. Without Wait it has no effect.
  bool CaptureOutput() const { return captureOutput_; }
  void SetCaptureOutput(bool value) { captureOutput_ = value; }
  const std::string& Output() const { return output_; }
  uint32_t ExitCode() const { return exitCode_; }

  // ExeName, then one blank and each parameter, cut to what the buffer holds.
  std::string CommandLine() const;

  // Raises EAppExecChDir or EAppExecWinExec.
  void Execute();

  // Where Execute runs: a window hands its own, which keeps it answering while the program
  // runs and raises what the run raised. Without one it runs on the caller's thread.
  using Runner = std::function<void(const std::function<void()>& run)>;
  void SetRunner(Runner runner) { runner_ = std::move(runner); }

 private:
  void Run();
  void UpdateShowCommand();
  void ReadAllOutput(platform::Process& process, platform::Pipe& out);

  platform::Processes& processes_;
  bool changeDir_ = true;
  int32_t errNo_ = -1;
  std::string exeName_;
  std::vector<std::string> exeParams_;
  std::string exePath_;
  bool wait_ = false;
  TWindowState windowState_ = wsNormal;
  bool hideIfMinimized_ = false;
  uint32_t processHandle_ = 0;
  uint16_t showCommand_ = 1;
  bool captureOutput_ = false;
  std::string output_;
  uint32_t exitCode_ = 0;
  Runner runner_;
};

}  // namespace lanvoy
