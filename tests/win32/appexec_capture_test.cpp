// The process runner (TAppExec) and the console capture (TDosCommand) on the Windows API,
// starting real Windows programs under Wine.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "components/appexec.h"
#include "components/dos_command.h"
#include "platform/platform.h"
#include "test_support/pieces.h"
#include "test_support/queue_dispatcher.h"
#include "win32/win32_test_support.h"

namespace lanvoy {
namespace {

using namespace std::chrono_literals;

class Win32AppExecTest : public ::testing::Test {
 protected:
  std::unique_ptr<platform::Platform> machine_ = platform::CreatePlatform();
  TAppExec exec_{machine_->processes()};
  std::string child_ = test::BesideTests(*machine_, "lanvoy_test_child.exe");
};

TEST_F(Win32AppExecTest, MissingProgramIsFileNotFound) {
  exec_.SetExeName("lanvoy_no_such_program");
  exec_.SetWait(true);
  try {
    exec_.Execute();
    FAIL() << "no error";
  } catch (const EAppExecWinExec& e) {
    EXPECT_STREQ(e.what(), "File was not found");
  }
  EXPECT_EQ(exec_.ErrNo(), 2);
}

TEST_F(Win32AppExecTest, WaitedAndCapturedRunsOfRealPrograms) {
  exec_.SetExeName(child_);
  exec_.SetExeParams({"sleep", "300"});
  exec_.SetWait(true);
  exec_.SetWindowState(wsMinimized);
  exec_.SetHideIfMinimized(true);
  const auto start = std::chrono::steady_clock::now();
  exec_.Execute();
  EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
  EXPECT_EQ(exec_.ErrNo(), 0);
  EXPECT_NE(exec_.Processhandle(), 0u);

  exec_.SetExeName("cmd");
  exec_.SetExeParams({"/c", "echo captured& exit 5"});
  exec_.SetCaptureOutput(true);
  exec_.Execute();
  EXPECT_EQ(exec_.ErrNo(), 0);
  EXPECT_EQ(exec_.ExitCode(), 5u);
  EXPECT_EQ(exec_.Output(), "captured\r\n");
}

class Win32CaptureTest : public ::testing::Test {
 protected:
  Win32CaptureTest() {
    dos_.SetOnNewLine([this](TDosCommand&, const std::string& line, TOutputType type) {
      EXPECT_EQ(std::this_thread::get_id(), mainThread_) << "a piece off the main thread";
      pieces_.push_back({line, type});
    });
    dos_.SetOnTerminated([this](TDosCommand&, uint32_t code) { exitCodes_.push_back(code); });
    dos_.SetOnError(
        [this](TDosCommand&, const std::string& message) { errors_.push_back(message); });
  }
  bool PumpUntilEnded(std::chrono::milliseconds timeout = 20s) {
    return dispatcher_.PumpUntil([&] { return !dos_.Running(); }, timeout);
  }

  const std::thread::id mainThread_ = std::this_thread::get_id();
  std::unique_ptr<platform::Platform> machine_ = platform::CreatePlatform();
  test::QueueDispatcher dispatcher_;
  std::vector<test::Piece> pieces_;
  std::vector<uint32_t> exitCodes_;
  std::vector<std::string> errors_;
  TDosCommand dos_{machine_->processes(), dispatcher_};
};

TEST_F(Win32CaptureTest, LinesOfTheCommandInterpreterArriveInOrder) {
  std::vector<std::string> target;
  dos_.SetTargetLines(&target);
  dos_.SetCommandLine("cmd /c echo first& echo second& exit 4");
  dos_.Execute();
  ASSERT_TRUE(PumpUntilEnded());
  // The interpreter writes a line's text and its end apart: a partial piece may come first.
  std::vector<std::string> complete;
  for (const auto& piece : pieces_)
    if (piece.type == CompleteLine) complete.push_back(piece.text);
  EXPECT_EQ(complete, (std::vector<std::string>{"first", "second"}));
  // In the caller's list a partial piece is replaced by its complete line.
  EXPECT_EQ(target, (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(dos_.RunState(), rsEnded);
  EXPECT_EQ(dos_.RunCode(), 4u);
  EXPECT_EQ(exitCodes_, std::vector<uint32_t>{4u});
  EXPECT_EQ(dos_.OutputReturnCode(), rcCRLF);
  EXPECT_TRUE(errors_.empty());
}

TEST_F(Win32CaptureTest, InputReachesTheProgramAndStopEndsIt) {
  const std::string child =
      test::Quoted(test::BesideTests(*machine_, "lanvoy_test_child.exe")) + " copy";
  dos_.SetCommandLine(child);
  dos_.Execute();
  dos_.AddInput("ping\r\n");
  ASSERT_TRUE(dispatcher_.PumpUntil([&] { return !pieces_.empty(); }, 20s));
  EXPECT_EQ(pieces_[0], (test::Piece{"ping", CompleteLine}));
  dos_.Stop();
  ASSERT_TRUE(PumpUntilEnded());
  EXPECT_EQ(dos_.RunState(), rsStopped);
}

}  // namespace
}  // namespace lanvoy
