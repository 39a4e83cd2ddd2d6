// TDosCommand: runs a console program with its input and output redirected to pipes and
// hands its output, cut into lines, to the main thread while it runs. A worker thread,
// TDosThread, does the work; one per run. The pieces cut from one read go to the main thread
// in one synchronous call, which raises them there one at a time and in order; the worker
// waits until all are processed.
//
// Lifetime: every run keeps its state in a TDosRun shared by the component and its worker,
// so a worker that outlives the component (or is forgotten by Stop) touches only that. The
// component is used from the main thread alone; its pointer in the run is cleared there, and
// a hand-over that reaches the main thread afterwards does nothing. Destroying the component
// asks every worker to end and joins it; only a worker that is at that moment waiting in a
// hand-over the main thread can no longer run is detached instead: its pending call runs as
// a no-op whenever the dispatcher gets to it, and the worker then ends by itself without
// calling the dispatcher again.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/error.h"
#include "components/line_cutter.h"
#include "components/main_thread.h"
#include "platform/platform.h"

namespace lanvoy {

// A pipe for the program's input or output could not be created.
class TCreatePipeError : public Error {
 public:
  using Error::Error;
};

// The program could not be started: the command line followed by " doesn't exist.".
class TCreateProcessError : public Error {
 public:
  using Error::Error;
};

enum TShowWindow {
  swHIDE,
  swMAXIMIZE,
  swMINIMIZE,
  swRESTORE,
  swSHOW,
  swSHOWDEFAULT,
  swSHOWMAXIMIZED,
  swSHOWMINIMIZED,
  swSHOWMINNOACTIVE,
  swSHOWNA,
  swSHOWNOACTIVATE,
  swSHOWNORMAL
};

enum TCreationFlag {
  fCREATE_DEFAULT_ERROR_MODE,
  fCREATE_NEW_CONSOLE,
  fCREATE_NEW_PROCESS_GROUP,
  fCREATE_SEPARATE_WOW_VDM,
  fCREATE_SHARED_WOW_VDM,
  fCREATE_SUSPENDED,
  fCREATE_UNICODE_ENVIRONMENT,
  fDEBUG_PROCESS,
  fDEBUG_ONLY_THIS_PROCESS,
  fDETACHED_PROCESS
};

// The system's SW_... and creation-flag values.
uint16_t ShowWindowValue(TShowWindow value);
uint32_t CreationFlagValue(TCreationFlag value);

// RunState values: how far the current or last run got.
enum TRunState : int {
  rsStarting = 0,
  rsFailedBeforePipes = 1,
  rsCreatingPipes = 2,
  rsPipeFailed = 3,
  rsStartingProgram = 4,
  rsStartFailed = 5,
  rsRunning = 6,
  rsFailedWhileRunning = 7,
  rsEnded = 8,
  rsStopped = 9,
  rsTimedOut = 10
};

class TDosCommand;
struct TDosRun;

using TNewLineEvent =
    std::function<void(TDosCommand& sender, const std::string& newLine, TOutputType outputType)>;
// Raised on the worker thread, after the pipes and handles are closed; it must not wait
// for the main thread.
using TTerminateEvent = std::function<void(TDosCommand& sender, uint32_t exitCode)>;
// Raised on the main thread with the text of an error that ended a run.
using TErrorEvent = std::function<void(TDosCommand& sender, const std::string& message)>;

class TDosCommand {
 public:
  TDosCommand(platform::Processes& processes, MainThreadDispatcher& mainThread);
  ~TDosCommand();
  TDosCommand(const TDosCommand&) = delete;
  TDosCommand& operator=(const TDosCommand&) = delete;

  const std::string& CommandLine() const { return commandLine_; }
  void SetCommandLine(const std::string& value) { commandLine_ = value; }
  void SetOnNewLine(TNewLineEvent handler) { onNewLine_ = std::move(handler); }
  void SetOnTerminated(TTerminateEvent handler) { onTerminated_ = std::move(handler); }
  void SetOnError(TErrorEvent handler) { onError_ = std::move(handler); }
  bool InputToOutput() const { return inputToOutput_; }
  void SetInputToOutput(bool value) { inputToOutput_ = value; }
  int32_t MaxTimeAfterBeginning() const { return maxTimeAfterBeginning_; }
  void SetMaxTimeAfterBeginning(int32_t seconds) { maxTimeAfterBeginning_ = seconds; }
  int32_t MaxTimeAfterLastOutput() const { return maxTimeAfterLastOutput_; }
  void SetMaxTimeAfterLastOutput(int32_t seconds) { maxTimeAfterLastOutput_ = seconds; }
  TShowWindow ShowWindow() const { return showWindow_; }
  void SetShowWindow(TShowWindow value) { showWindow_ = value; }
  TCreationFlag CreationFlag() const { return creationFlag_; }
  void SetCreationFlag(TCreationFlag value) { creationFlag_ = value; }
  TReturnCode ReturnCode() const { return returnCode_; }
  void SetReturnCode(TReturnCode value) { returnCode_ = value; }
  // How the most recent complete line of the last run ended.
  TReturnCode OutputReturnCode() const;
  int Tag() const { return tag_; }
  void SetTag(int value) { tag_ = value; }

  // A list owned by the caller, kept up to date on the main thread: a partial piece stands
  // in it once, replaced by its longer forms and finally by the complete line.
  void SetTargetLines(std::vector<std::string>* lines) { targetLines_ = lines; }
  std::vector<std::string>* TargetLines() const { return targetLines_; }

  // Lines for the running program's input, written unchanged (no line end added) while it
  // produces no output. The queue belongs to the current run.
  void AddInput(const std::string& line);

  // Every piece of the last run, in order. Filled by the worker: read it once Running()
  // is false.
  const std::vector<std::string>& CapturedLines() const;
  // RunState and RunCode of the last run (rsStarting before any run).
  int RunState() const;
  uint32_t RunCode() const;
  // The last run has not ended yet.
  bool Running() const;

  // Starts CommandLine in a new worker and returns at once; a run still going is stopped
  // first. With an empty CommandLine nothing happens.
  void Execute();
  // Asks the current worker to end and forgets it; it cleans up by itself and hands nothing
  // more to the main thread.
  void Stop();

 private:
  friend struct TDosRun;

  platform::Processes& processes_;
  MainThreadDispatcher& mainThread_;
  std::string commandLine_;
  TNewLineEvent onNewLine_;
  TTerminateEvent onTerminated_;
  TErrorEvent onError_;
  bool inputToOutput_ = false;
  int32_t maxTimeAfterBeginning_ = 0;
  int32_t maxTimeAfterLastOutput_ = 0;
  TShowWindow showWindow_ = swHIDE;
  TCreationFlag creationFlag_ = fCREATE_NEW_CONSOLE;
  TReturnCode returnCode_ = rcCRLF;
  int tag_ = 0;
  std::vector<std::string>* targetLines_ = nullptr;

  std::shared_ptr<TDosRun> current_;            // the worker not yet stopped, if any
  std::shared_ptr<TDosRun> last_;               // the last run started, for its results
  std::vector<std::shared_ptr<TDosRun>> runs_;  // every run whose thread is not joined yet
};

}  // namespace lanvoy
