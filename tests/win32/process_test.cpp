// Processes and pipes on the Windows API: starts, waits, exit codes, pipes, captures.
#include "platform/win32/windows_api.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "test_support/temp_dir.h"
#include "win32/win32_test_support.h"

namespace lanvoy {
namespace {

using platform::kInfinite;
using platform::kStillActive;

class Win32ProcessTest : public ::testing::Test {
 protected:
  std::unique_ptr<platform::Platform> machine_ = platform::CreatePlatform();
  platform::Processes& processes_ = machine_->processes();
  std::string child_ = test::Quoted(test::BesideTests(*machine_, "lanvoy_test_child.exe"));

  std::unique_ptr<platform::Process> Start(const std::string& commandLine, uint32_t& error) {
    platform::StartInfo info;
    info.commandLine = commandLine;
    info.showWindow = 0;
    return processes_.Start(info, error);
  }
};

TEST_F(Win32ProcessTest, MissingProgramFailsWithErrorTwo) {
  uint32_t error = 0;
  EXPECT_EQ(Start("lanvoy_no_such_program -f x", error), nullptr);
  EXPECT_EQ(error, 2u);  // ERROR_FILE_NOT_FOUND: "File was not found"
}

TEST_F(Win32ProcessTest, WaitedRunGivesTheExitCode) {
  uint32_t error = 1;
  auto process = Start(child_ + " exit 7", error);
  ASSERT_NE(process, nullptr) << error;
  EXPECT_EQ(error, 0u);
  EXPECT_NE(process->Handle(), 0u);
  EXPECT_TRUE(process->Wait(kInfinite));
  EXPECT_EQ(process->ExitCode(), 7u);

  auto viaCmd = Start("cmd /c exit 3", error);
  ASSERT_NE(viaCmd, nullptr);
  EXPECT_TRUE(viaCmd->Wait(30000));
  EXPECT_EQ(viaCmd->ExitCode(), 3u);
}

TEST_F(Win32ProcessTest, RunningProgramIsStillActiveUntilTerminated) {
  uint32_t error = 0;
  auto process = Start(child_ + " sleep 8000", error);
  ASSERT_NE(process, nullptr);
  EXPECT_FALSE(process->Wait(50));
  EXPECT_EQ(process->ExitCode(), kStillActive);
  EXPECT_TRUE(process->Terminate(9));
  EXPECT_TRUE(process->Wait(10000));
  EXPECT_EQ(process->ExitCode(), 9u);
}

TEST_F(Win32ProcessTest, PeekLooksWithoutConsuming) {
  uint32_t error = 0;
  auto pipe = processes_.CreatePipe(error);
  ASSERT_NE(pipe, nullptr) << error;
  uint32_t written = 0;
  ASSERT_TRUE(pipe->Write("hello", 5, written));
  EXPECT_EQ(written, 5u);
  char buffer[16] = {};
  uint32_t copied = 0, available = 0;
  for (int look = 0; look < 2; ++look) {
    ASSERT_TRUE(pipe->Peek(buffer, 3, copied, available));
    EXPECT_EQ(copied, 3u);
    EXPECT_EQ(available, 5u);
    EXPECT_EQ(std::string(buffer, copied), "hel");
  }
  uint32_t got = 0;
  ASSERT_TRUE(pipe->Read(buffer, sizeof buffer, got));
  EXPECT_EQ(std::string(buffer, got), "hello");
  ASSERT_TRUE(pipe->Peek(buffer, sizeof buffer, copied, available));
  EXPECT_EQ(available, 0u);
  // With the write end closed a read reports the end instead of blocking.
  pipe->CloseWriteEnd();
  EXPECT_FALSE(pipe->Read(buffer, sizeof buffer, got));
}

TEST_F(Win32ProcessTest, CapturesTheOutputOfAWindowsConsoleProgram) {
  test::Captured echo = test::RunCaptured(*machine_, "cmd /c echo hello lanvoy");
  ASSERT_TRUE(echo.started) << echo.error;
  EXPECT_EQ(echo.exitCode, 0u);
  EXPECT_EQ(echo.output, "hello lanvoy\r\n");

  // Standard error arrives through the same pipe.
  test::Captured both = test::RunCaptured(*machine_, "cmd /c echo out& echo err 1>&2");
  EXPECT_NE(both.output.find("out"), std::string::npos) << both.output;
  EXPECT_NE(both.output.find("err"), std::string::npos) << both.output;
}

TEST_F(Win32ProcessTest, CapturedProgramGetsNoneOfTheCallersRuntimeBlock) {
  // A C runtime's parent hands its descriptor table on in lpReserved2; a child whose startup
  // block carries one may take its standard handles from it instead of the pipes. The
  // middle program here has such a block and captures a program that reports its own.
  test::TempDir dir;
  const std::string output = dir.File("captured.txt");
  std::string commandLine =
      child_ + " capture " + test::Quoted(output) + " " + child_ + " reserved";
  char table[4] = {};  // a descriptor table of no entries
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  startup.cbReserved2 = sizeof table;
  startup.lpReserved2 = reinterpret_cast<BYTE*>(table);
  PROCESS_INFORMATION started;
  ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                             nullptr, nullptr, &startup, &started))
      << GetLastError();
  EXPECT_EQ(WaitForSingleObject(started.hProcess, 60000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(started.hProcess, &code);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(dir.Read("captured.txt"), "reserved2 0\r\n");
}

TEST_F(Win32ProcessTest, InputPipeReachesTheProgramAndItsEndIsSeen) {
  // The child copies its input until the end: it ends only if no copy of the input
  // pipe's write end leaked into it.
  test::Captured copy = test::RunCaptured(*machine_, child_ + " copy", "abc\r\ndef", 20000);
  ASSERT_TRUE(copy.started);
  EXPECT_EQ(copy.exitCode, 0u) << "the child did not see the end of its input";
  EXPECT_EQ(copy.output, "abc\r\ndef");

  // An output larger than the pipe holds is read whole, however the reads are cut.
  test::Captured large = test::RunCaptured(*machine_, child_ + " many 300000", "", 20000);
  EXPECT_EQ(large.exitCode, 0u);
  EXPECT_EQ(large.output, std::string(300000, 'x'));
}

TEST_F(Win32ProcessTest, SetCurrentDirectory) {
  test::TempDir dir;
  const auto before = std::filesystem::current_path();
  std::string message;
  EXPECT_TRUE(processes_.SetCurrentDirectory(dir.path().string(), message));
  EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::current_path(), dir.path()));
  EXPECT_FALSE(processes_.SetCurrentDirectory(dir.File("missing"), message));
  EXPECT_NE(message.find("missing"), std::string::npos) << message;
  std::filesystem::current_path(before);
}

}  // namespace
}  // namespace lanvoy
