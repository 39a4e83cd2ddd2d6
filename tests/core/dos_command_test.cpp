// The console capture against scripted pipes: exact read boundaries, input, failures.
#include "components/dos_command.h"
#include "test_support/pieces.h"

#include <gtest/gtest.h>

#include "core/fake_processes.h"
#include "test_support/queue_dispatcher.h"

namespace lanvoy {
namespace {

using namespace std::chrono_literals;

using test::Piece;

class DosCommandFakeTest : public ::testing::Test {
 protected:
  DosCommandFakeTest() {
    dos_.SetOnNewLine([this](TDosCommand&, const std::string& line, TOutputType type) {
      pieces_.push_back({line, type});
    });
    dos_.SetOnError(
        [this](TDosCommand&, const std::string& message) { errors_.push_back(message); });
    dos_.SetCommandLine("ipconfig /all");
  }
  bool RunToEnd() {
    dos_.Execute();
    return dispatcher_.PumpUntil([&] { return !dos_.Running(); });
  }

  test::FakeProcesses processes_;
  test::QueueDispatcher dispatcher_;
  std::vector<Piece> pieces_;
  std::vector<std::string> errors_;
  TDosCommand dos_{processes_, dispatcher_};
};

TEST_F(DosCommandFakeTest, StartsWithPipesShowModeAndFlagsWithNormalPriority) {
  dos_.SetShowWindow(swMINIMIZE);
  dos_.SetCreationFlag(fCREATE_NEW_PROCESS_GROUP);
  ASSERT_TRUE(RunToEnd());
  ASSERT_EQ(processes_.starts.size(), 1u);
  const platform::StartInfo& info = processes_.starts[0];
  EXPECT_EQ(info.commandLine, "ipconfig /all");
  EXPECT_EQ(info.showWindow, 6);
  EXPECT_EQ(info.creationFlags, 0x220u);
  EXPECT_NE(info.stdinPipe, nullptr);
  EXPECT_NE(info.stdoutPipe, nullptr);
}

TEST_F(DosCommandFakeTest, PairSplitBetweenReadsAndGrowingPartials) {
  processes_.script = {"Windows IP\r", "\nHost", " Name", " . : pc\r\n", "\r\n"};
  std::vector<std::string> target;
  dos_.SetTargetLines(&target);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(pieces_, (std::vector<Piece>{{"Windows IP", CompleteLine},
                                         {"Host", PartialLine},
                                         {"Host Name", PartialLine},
                                         {"Host Name . : pc", CompleteLine},
                                         {"", CompleteLine}}));
  EXPECT_EQ(target, (std::vector<std::string>{"Windows IP", "Host Name . : pc", ""}));
  EXPECT_EQ(dos_.OutputReturnCode(), rcCRLF);
  // A growing partial piece is kept once, in the place of the one before it.
  EXPECT_EQ(dos_.CapturedLines(), target);
}

TEST_F(DosCommandFakeTest, BufferGrowsSoOneReadTakesAllThatWaits) {
  const std::string longLine(5000, 'w');
  processes_.script = {longLine + "\n"};
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(pieces_, (std::vector<Piece>{{longLine, CompleteLine}}));
  EXPECT_EQ(dos_.OutputReturnCode(), rcLF);
}

TEST_F(DosCommandFakeTest, FailingHandlerDoesNotEndTheRun) {
  processes_.script = {"a\r\n", "b\r\n"};
  dos_.SetOnNewLine([this](TDosCommand&, const std::string& line, TOutputType type) {
    pieces_.push_back({line, type});
    throw Error("handler failed");
  });
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(pieces_, (std::vector<Piece>{{"a", CompleteLine}, {"b", CompleteLine}}));
  EXPECT_EQ(dos_.RunState(), rsEnded);
}

TEST_F(DosCommandFakeTest, StopFromAHandlerDropsTheRestOfTheRead) {
  processes_.script = {"a\nb\nc\n"};
  dos_.SetOnNewLine([this](TDosCommand& sender, const std::string& line, TOutputType type) {
    pieces_.push_back({line, type});
    sender.Stop();
  });
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(pieces_, (std::vector<Piece>{{"a", CompleteLine}}));
}

TEST_F(DosCommandFakeTest, InputIsWrittenUnchangedAndEchoedWhenAsked) {
  processes_.process->forever = true;
  dos_.SetInputToOutput(true);
  dos_.Execute();
  dos_.AddInput("dir ");
  dos_.AddInput("/w\r\n");
  dos_.AddInput("exit\n");
  ASSERT_TRUE(dispatcher_.PumpUntil([&] { return pieces_.size() >= 3; }));
  EXPECT_EQ(pieces_, (std::vector<Piece>{
                         {"dir ", PartialLine}, {"dir /w", CompleteLine}, {"exit", CompleteLine}}));
  dos_.Stop();
  ASSERT_TRUE(dispatcher_.PumpUntil([&] { return !dos_.Running(); }));
  EXPECT_EQ(processes_.pipes[0]->written, "dir /w\r\nexit\n");
  EXPECT_TRUE(processes_.process->terminated);
  EXPECT_EQ(processes_.process->terminateCode, 0u);
  EXPECT_EQ(dos_.RunState(), rsStopped);
}

TEST_F(DosCommandFakeTest, PipeFailureEndsTheRunWithOneErrorAndNoStart) {
  processes_.pipeFailsAt = 1;
  ASSERT_TRUE(RunToEnd());
  ASSERT_TRUE(dispatcher_.PumpUntil([&] { return !errors_.empty(); }, 1s));
  EXPECT_EQ(errors_.size(), 1u);
  EXPECT_NE(errors_[0].find("ipconfig /all"), std::string::npos);
  EXPECT_TRUE(processes_.starts.empty());
  EXPECT_EQ(dos_.RunState(), rsPipeFailed);
  EXPECT_EQ(dos_.RunCode(), 8u);
  EXPECT_TRUE(pieces_.empty());
}

}  // namespace
}  // namespace lanvoy
