// Helpers of the win32 tests: running a program with its output captured through the
// platform's pipes, the way the console capture does it, and the paths of the helper
// programs built beside the tests.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "base/strings.h"
#include "platform/platform.h"

namespace lanvoy::test {

struct Captured {
  bool started = false;
  uint32_t error = 0;     // the start's system error code
  uint32_t exitCode = 0;  // kStillActive when it had to be stopped
  std::string output;     // standard output and error, as written
};

// Polls as the console capture does: exit code, a look into the pipe, a read of all that
// waits; input is written once and the pipe closed so that the program sees its end.
inline Captured RunCaptured(platform::Platform& machine, const std::string& commandLine,
                            const std::string& input = "", uint32_t timeoutMs = 30000) {
  Captured result;
  auto& processes = machine.processes();
  auto in = processes.CreatePipe(result.error);
  auto out = processes.CreatePipe(result.error);
  if (!in || !out) return result;
  platform::StartInfo info;
  info.commandLine = commandLine;
  info.showWindow = 0;
  info.stdinPipe = in.get();
  info.stdoutPipe = out.get();
  auto process = processes.Start(info, result.error);
  if (!process) return result;
  result.started = true;
  // The child holds its own copies of these ends now.
  in->CloseReadEnd();
  out->CloseWriteEnd();
  uint32_t written = 0;
  if (!input.empty()) in->Write(input.data(), static_cast<uint32_t>(input.size()), written);
  in->CloseWriteEnd();

  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  std::string buffer(1024, '\0');
  for (;;) {
    uint32_t code = process->ExitCode();
    uint32_t copied = 0, available = 0;
    if (out->Peek(buffer.data(), static_cast<uint32_t>(buffer.size()), copied, available) &&
        copied > 0) {
      if (available > buffer.size()) buffer.resize(available);
      uint32_t got = 0;
      if (out->Read(buffer.data(), static_cast<uint32_t>(buffer.size()), got))
        result.output.append(buffer.data(), got);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (code != platform::kStillActive) {
      result.exitCode = code;
      break;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      process->Terminate(0);
      result.exitCode = platform::kStillActive;
      break;
    }
  }
  return result;
}

// A program built into the test's own folder.
inline std::string BesideTests(platform::Platform& machine, const std::string& name) {
  return ExtractFilePath(machine.system().ExecutablePath()) + name;
}

inline std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

}  // namespace lanvoy::test
