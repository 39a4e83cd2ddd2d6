#include "components/dos_command.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace lanvoy {

uint16_t ShowWindowValue(TShowWindow value) {
  switch (value) {
    case swHIDE:
      return 0;
    case swMAXIMIZE:
      return 3;
    case swMINIMIZE:
      return 6;
    case swRESTORE:
      return 9;
    case swSHOW:
      return 5;
    case swSHOWDEFAULT:
      return 10;
    case swSHOWMAXIMIZED:
      return 3;
    case swSHOWMINIMIZED:
      return 2;
    case swSHOWMINNOACTIVE:
      return 7;
    case swSHOWNA:
      return 8;
    case swSHOWNOACTIVATE:
      return 4;
    case swSHOWNORMAL:
      return 1;
  }
  return 0;
}

uint32_t CreationFlagValue(TCreationFlag value) {
  switch (value) {
    case fCREATE_DEFAULT_ERROR_MODE:
      return 0x04000000;
    case fCREATE_NEW_CONSOLE:
      return 0x10;
    case fCREATE_NEW_PROCESS_GROUP:
      return 0x200;
    case fCREATE_SEPARATE_WOW_VDM:
      return 0x800;
    case fCREATE_SHARED_WOW_VDM:
      return 0x1000;
    case fCREATE_SUSPENDED:
      return 0x4;
    case fCREATE_UNICODE_ENVIRONMENT:
      return 0x400;
    case fDEBUG_PROCESS:
      return 0x1;
    case fDEBUG_ONLY_THIS_PROCESS:
      return 0x2;
    case fDETACHED_PROCESS:
      return 0x8;
  }
  return 0x10;
}

namespace {

constexpr uint32_t kNormalPriorityClass = 0x20;
constexpr size_t kInitialBuffer = 1024;

// A line written to the program counts as finished when its first CR LF is its last two
// characters or its first LF is its last character.
bool IsFinishedInput(const std::string& line) {
  const size_t crlf = line.find("\r\n");
  if (crlf != std::string::npos && crlf + 2 == line.size()) return true;
  const size_t lf = line.find('\n');
  return lf != std::string::npos && lf + 1 == line.size();
}

std::string WithoutLineEnd(std::string line) {
  if (!line.empty() && line.back() == '\n') line.pop_back();
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace

// The state of one run, shared by the component and its worker (TDosThread's part).
struct TDosRun {
  TDosRun(platform::Processes& processes, MainThreadDispatcher& dispatcher, TDosCommand& owner)
      : processes(processes),
        dispatcher(dispatcher),
        commandLine(owner.commandLine_),
        onNewLine(owner.onNewLine_),
        onTerminated(owner.onTerminated_),
        onError(owner.onError_),
        maxTimeAfterBeginning(owner.maxTimeAfterBeginning_),
        maxTimeAfterLastOutput(owner.maxTimeAfterLastOutput_),
        showWindow(ShowWindowValue(owner.showWindow_)),
        creationFlags(CreationFlagValue(owner.creationFlag_) | kNormalPriorityClass),
        inputToOutput(owner.inputToOutput_),
        owner(&owner) {}

  void Work();

  // Copied from the component when the run is created.
  platform::Processes& processes;
  MainThreadDispatcher& dispatcher;
  const std::string commandLine;
  const TNewLineEvent onNewLine;
  const TTerminateEvent onTerminated;
  const TErrorEvent onError;
  const int32_t maxTimeAfterBeginning;
  const int32_t maxTimeAfterLastOutput;
  const uint16_t showWindow;
  const uint32_t creationFlags;
  const bool inputToOutput;

  std::atomic<bool> stopRequested{false};
  std::atomic<int> runState{rsStarting};
  std::atomic<uint32_t> runCode{0};
  std::atomic<int> outputReturnCode{rcCRLF};
  std::atomic<bool> finished{false};

  // Guards the fields below it. owner and forgotten are written only by the main thread.
  std::mutex mutex;
  std::condition_variable changed;
  TDosCommand* owner;      // null once the component is gone
  bool forgotten = false;  // Stop: hand no more pieces or errors to the main thread
  bool inHandOver = false;
  std::deque<std::string> input;

  // Written by the worker alone; read by others once finished is set.
  std::vector<std::string> captured;

  std::thread thread;  // touched by the main thread only

 private:
  bool HandOver(const std::function<void(TDosCommand&)>& fn);
  // Queues a piece for the main thread; HandOverBatch hands the queued pieces over.
  void Raise(const std::string& piece, TOutputType type);
  void HandOverBatch();
  void WriteInput(platform::Pipe& in);
  bool TimeLimitReached() const;

  struct Handed {
    std::string piece;
    TOutputType type;
    bool replaceLast;  // the piece before it was partial: it takes that one's place
  };

  TLineCutter cutter_;
  bool partial_ = false;
  std::vector<Handed> batch_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastOutput_;
};

// Runs fn with the component on the main thread and waits for it; false when there is no
// component to hand to any more.
bool TDosRun::HandOver(const std::function<void(TDosCommand&)>& fn) {
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (owner == nullptr || forgotten) return false;
    inHandOver = true;
  }
  try {
    // The worker waits here until the call has run, so this run and fn outlive it. A call
    // that runs after the component has gone finds owner cleared and does nothing.
    dispatcher.InvokeSync([this, &fn] {
      if (owner == nullptr || forgotten) return;
      try {
        fn(*owner);
      } catch (...) {
        // A failing handler must not end the capture.
      }
    });
  } catch (...) {
  }
  {
    std::lock_guard<std::mutex> lock(mutex);
    inHandOver = false;
  }
  changed.notify_all();
  return true;
}

void TDosRun::Raise(const std::string& piece, TOutputType type) {
  // A piece after a partial one holds that one's text: it takes its place, so a long line
  // that arrives over many reads is kept once, not once per read.
  if (partial_ && !captured.empty())
    captured.back() = piece;
  else
    captured.push_back(piece);
  lastOutput_ = std::chrono::steady_clock::now();
  batch_.push_back({piece, type, partial_});
  partial_ = (type == PartialLine);
}

// The pieces of one read go over in one synchronous call and are processed there one at a
// time, in order; a Stop made by a handler drops the rest. One call per piece would cost a
// round trip between the threads for every line.
void TDosRun::HandOverBatch() {
  if (batch_.empty()) return;
  HandOver([&](TDosCommand& component) {
    for (const Handed& handed : batch_) {
      if (owner == nullptr || forgotten) return;
      try {
        if (std::vector<std::string>* target = component.targetLines_) {
          if (target->empty() || !handed.replaceLast)
            target->push_back(handed.piece);
          else
            target->back() = handed.piece;
        }
        if (onNewLine) onNewLine(component, handed.piece, handed.type);
      } catch (...) {
        // A failing handler must not end the capture.
      }
    }
  });
  batch_.clear();
}

void TDosRun::WriteInput(platform::Pipe& in) {
  for (;;) {
    std::string line;
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (input.empty() || stopRequested) return;
      line = std::move(input.front());
      input.pop_front();
    }
    uint32_t written = 0;
    in.Write(line.data(), static_cast<uint32_t>(line.size()), written);
    if (!inputToOutput) continue;
    const std::string echoed = partial_ ? cutter_.Pending() + line : line;
    if (IsFinishedInput(line)) {
      // Pieces never carry their line end.
      cutter_.SetPending("");
      Raise(WithoutLineEnd(echoed), CompleteLine);
    } else {
      cutter_.SetPending(echoed);
      Raise(echoed, PartialLine);
    }
    HandOverBatch();
  }
}

bool TDosRun::TimeLimitReached() const {
  using std::chrono::duration_cast;
  using std::chrono::seconds;
  const auto now = std::chrono::steady_clock::now();
  if (maxTimeAfterBeginning > 0 &&
      duration_cast<seconds>(now - start_).count() > maxTimeAfterBeginning)
    return true;
  return maxTimeAfterLastOutput > 0 &&
         duration_cast<seconds>(now - lastOutput_).count() > maxTimeAfterLastOutput;
}

void TDosRun::Work() {
  std::string error;
  uint32_t failureCode = 0;
  uint32_t lastExitCode = 0;
  std::unique_ptr<platform::Pipe> in;
  std::unique_ptr<platform::Pipe> out;
  std::unique_ptr<platform::Process> process;
  try {
    runState = rsStarting;
    std::vector<char> buffer(kInitialBuffer, '\0');

    runState = rsCreatingPipes;
    uint32_t code = 0;
    in = processes.CreatePipe(code);
    if (in) out = processes.CreatePipe(code);
    if (!out) {
      failureCode = code;
      in.reset();
      throw TCreatePipeError("The pipes for the input and output of " + commandLine +
                             " could not be created (system error " + std::to_string(code) + ").");
    }

    runState = rsStartingProgram;
    platform::StartInfo info;
    info.commandLine = commandLine;
    info.showWindow = showWindow;
    info.creationFlags = creationFlags;
    info.stdinPipe = in.get();
    info.stdoutPipe = out.get();
    process = processes.Start(info, code);
    if (!process) {
      failureCode = code;
      throw TCreateProcessError(commandLine + " doesn't exist.");
    }

    start_ = lastOutput_ = std::chrono::steady_clock::now();
    lastExitCode = platform::kStillActive;
    runState = rsRunning;
    const auto stop = [this] { return stopRequested.load(); };
    const auto sink = [this](const std::string& piece, TOutputType type) {
      if (type == CompleteLine) outputReturnCode = cutter_.ReturnCode();
      Raise(piece, type);
    };
    for (;;) {
      lastExitCode = process->ExitCode();
      uint32_t copied = 0;
      uint32_t available = 0;
      const bool peeked =
          out->Peek(buffer.data(), static_cast<uint32_t>(buffer.size()), copied, available);
      if (peeked && copied > 0) {
        if (available > buffer.size()) buffer.resize(available);
        uint32_t got = 0;
        if (out->Read(buffer.data(), static_cast<uint32_t>(buffer.size()), got) && got > 0)
          cutter_.Cut(std::string_view(buffer.data(), got), sink, stop);
        HandOverBatch();
      } else {
        WriteInput(*in);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      if (lastExitCode != platform::kStillActive) {
        runState = rsEnded;
        runCode = lastExitCode;
        break;
      }
      if (stopRequested) {
        runState = rsStopped;
        break;
      }
      if (TimeLimitReached()) {
        runState = rsTimedOut;
        break;
      }
    }
    if (!cutter_.Pending().empty()) Raise(cutter_.Pending(), PartialLine);
    HandOverBatch();
  } catch (const std::exception& e) {
    error = e.what();
  }

  if (process && lastExitCode == platform::kStillActive) {
    process->Terminate(0);
    process->Wait(1000);
  }
  process.reset();
  in.reset();
  out.reset();

  {
    // Under the lock, so the component cannot go while the handler holds it as Sender.
    std::lock_guard<std::mutex> lock(mutex);
    if (owner != nullptr && onTerminated) {
      try {
        onTerminated(*owner, lastExitCode);
      } catch (...) {
      }
    }
  }
  const int state = runState;
  if (state == rsStarting || state == rsCreatingPipes || state == rsStartingProgram ||
      state == rsRunning) {
    runState = state + 1;
    runCode = failureCode;
  }
  if (!error.empty() && onError)
    HandOver([&](TDosCommand& component) { onError(component, error); });

  {
    std::lock_guard<std::mutex> lock(mutex);
    finished = true;
  }
  changed.notify_all();
}

TDosCommand::TDosCommand(platform::Processes& processes, MainThreadDispatcher& mainThread)
    : processes_(processes), mainThread_(mainThread) {}

TDosCommand::~TDosCommand() {
  current_.reset();
  for (const std::shared_ptr<TDosRun>& run : runs_) {
    std::unique_lock<std::mutex> lock(run->mutex);
    run->owner = nullptr;
    run->stopRequested = true;
    // A worker waiting in a hand-over waits for this very thread: it cannot be joined.
    run->changed.wait(lock, [&] { return run->finished || run->inHandOver; });
    const bool done = run->finished;
    lock.unlock();
    if (done)
      run->thread.join();
    else
      run->thread.detach();
  }
}

TReturnCode TDosCommand::OutputReturnCode() const {
  return last_ ? static_cast<TReturnCode>(last_->outputReturnCode.load()) : rcCRLF;
}

void TDosCommand::AddInput(const std::string& line) {
  if (!current_) return;
  std::lock_guard<std::mutex> lock(current_->mutex);
  current_->input.push_back(line);
}

const std::vector<std::string>& TDosCommand::CapturedLines() const {
  static const std::vector<std::string> kNone;
  return last_ ? last_->captured : kNone;
}

int TDosCommand::RunState() const {
  return last_ ? last_->runState.load() : rsStarting;
}

uint32_t TDosCommand::RunCode() const {
  return last_ ? last_->runCode.load() : 0;
}

bool TDosCommand::Running() const {
  return last_ && !last_->finished.load();
}

void TDosCommand::Execute() {
  if (commandLine_.empty()) return;
  Stop();
  // Workers that have ended are joined; the others go on cleaning up by themselves.
  std::erase_if(runs_, [](const std::shared_ptr<TDosRun>& run) {
    if (!run->finished) return false;
    run->thread.join();
    return true;
  });
  auto run = std::make_shared<TDosRun>(processes_, mainThread_, *this);
  current_ = run;
  last_ = run;
  runs_.push_back(run);
  run->thread = std::thread([run] { run->Work(); });
}

void TDosCommand::Stop() {
  if (!current_) return;
  {
    std::lock_guard<std::mutex> lock(current_->mutex);
    current_->forgotten = true;
  }
  current_->stopRequested = true;
  current_.reset();
}

}  // namespace lanvoy
