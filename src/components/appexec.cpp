#include "components/appexec.h"

#include <chrono>
#include <thread>

namespace lanvoy {

std::string AppExecErrorText(int32_t errNo) {
  switch (errNo) {
    case -1:
      return "No execution";
    case 0:
      return "System was out of memory, executable file was corrupt, or relocations were invalid";
    case 2:
      return "File was not found";
    case 3:
      return "Path was not found";
    case 5:
      return "Attempt was made to dynamically link to a task, or there was a sharing or "
             "network-protection error";
    case 6:
      return "Library required separate data segments for each task";
    case 8:
      return "There was insufficient memory to start the application";
    case 10:
      return "Windows version was incorrect";
    case 11:
      return "Executable file was invalid. Either it was not a Windows application or there "
             "was an error in the .EXE image";
    case 12:
      return "Application was designed for a different operating system";
    case 13:
      return "Application was designed for MS-DOS 4.0";
    case 14:
      return "Type of executable file was unknown";
    case 15:
      return "Attempt was made to load a real-mode application (developed for an earlier "
             "version of Windows)";
    case 16:
      return "Attempt to load second instance of an executable containing multiple data "
             "segments not marked read-only";
    case 19:
      return "Attempt was made to load a compressed executable file. The file must be "
             "decompressed before it can be loaded";
    case 20:
      return "Dynamic-link library (DLL) file was invalid. One of the DLLs required to run "
             "this application was corrupt";
    case 21:
      return "Application requires 32-bit extensions";
    default:
      return errNo >= 32 ? "No error" : "";
  }
}

TAppExec::TAppExec(platform::Processes& processes) : processes_(processes) {}

void TAppExec::SetExePath(const std::string& value) {
  if (value != exePath_) exePath_ = value;
  const bool driveRoot = exePath_.size() == 3 && exePath_[1] == ':';
  if (!exePath_.empty() && exePath_.back() == '\\' && exePath_ != "\\" && !driveRoot)
    exePath_.pop_back();
}

void TAppExec::SetWindowState(TWindowState value) {
  if (value == windowState_) return;
  windowState_ = value;
  UpdateShowCommand();
}

void TAppExec::SetHideIfMinimized(bool value) {
  hideIfMinimized_ = value;
  UpdateShowCommand();
}

void TAppExec::UpdateShowCommand() {
  switch (windowState_) {
    case wsNormal:
      showCommand_ = 1;  // SW_SHOWNORMAL
      break;
    case wsMinimized:
      showCommand_ = hideIfMinimized_ ? 0 : 2;  // SW_HIDE : SW_SHOWMINIMIZED
      break;
    case wsMaximized:
      showCommand_ = 3;  // SW_SHOWMAXIMIZED
      break;
  }
}

std::string TAppExec::CommandLine() const {
  std::string line = exeName_;
  for (const std::string& param : exeParams_) line += " " + param;
  // Past the buffer the line is cut: the component cannot tell which part the caller could
  // spare, and its callers stay far below the limit.
  if (line.size() > kCommandLineBuffer - 1) line.resize(kCommandLineBuffer - 1);
  return line;
}

void TAppExec::Execute() {
  if (runner_)
    runner_([this] { Run(); });
  else
    Run();
}

void TAppExec::Run() {
  const std::string commandLine = CommandLine();

  if (changeDir_ && !exePath_.empty()) {
    std::string message;
    if (!processes_.SetCurrentDirectory(exePath_, message)) throw EAppExecChDir(message);
  }

  const bool capture = captureOutput_ && wait_;
  std::unique_ptr<platform::Pipe> in;
  std::unique_ptr<platform::Pipe> out;
  platform::StartInfo info;
  info.commandLine = commandLine;
  info.showWindow = showCommand_;
  info.creationFlags = 0x30;  // CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS
  uint32_t error = 0;
  if (capture) {
    in = processes_.CreatePipe(error);
    if (in) out = processes_.CreatePipe(error);
    if (!out) {
      errNo_ = static_cast<int32_t>(error);
      throw EAppExecWinExec(AppExecErrorText(errNo_));
    }
    info.stdinPipe = in.get();
    info.stdoutPipe = out.get();
  }

  std::unique_ptr<platform::Process> process = processes_.Start(info, error);
  if (!process) {
    errNo_ = static_cast<int32_t>(error);
    throw EAppExecWinExec(AppExecErrorText(errNo_));
  }
  if (!wait_) return;

  processHandle_ = process->Handle();
  if (capture) {
    // The program's ends belong to it now; an input that is never fed reads as ended.
    in->CloseReadEnd();
    in->CloseWriteEnd();
    out->CloseWriteEnd();
    ReadAllOutput(*process, *out);
    exitCode_ = process->ExitCode();
  } else {
    process->Wait(platform::kInfinite);
  }
  errNo_ = 0;
}

// Polls rather than blocking in a read: a program the started one leaves behind may keep
// the pipe open after it has ended, and the run must end with the started program.
void TAppExec::ReadAllOutput(platform::Process& process, platform::Pipe& out) {
  output_.clear();
  std::string buffer(4096, '\0');
  for (;;) {
    const bool ended = process.Wait(0);
    for (;;) {
      uint32_t copied = 0;
      uint32_t available = 0;
      if (!out.Peek(buffer.data(), 1, copied, available) || available == 0) break;
      if (available > buffer.size()) buffer.resize(available);
      uint32_t got = 0;
      if (!out.Read(buffer.data(), static_cast<uint32_t>(buffer.size()), got) || got == 0) break;
      output_.append(buffer.data(), got);
    }
    if (ended) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

}  // namespace lanvoy
