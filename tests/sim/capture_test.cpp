// Real captures of the test printer on the simulated host.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "components/dos_command.h"
#include "platform/sim/processes.h"
#include "test_support/pieces.h"
#include "test_support/queue_dispatcher.h"
#include "test_support/temp_dir.h"

namespace lanvoy {
namespace {

using namespace std::chrono_literals;

using test::Piece;

class CaptureTest : public ::testing::Test {
 protected:
  CaptureTest() {
    dos_.SetOnNewLine([this](TDosCommand& sender, const std::string& line, TOutputType type) {
      EXPECT_EQ(&sender, &dos_);
      EXPECT_EQ(std::this_thread::get_id(), mainThread_) << "a piece off the main thread";
      pieces_.push_back({line, type});
    });
    dos_.SetOnTerminated([this](TDosCommand&, uint32_t exitCode) {
      terminatedWith_ = exitCode;
      ++terminations_;
    });
    dos_.SetOnError(
        [this](TDosCommand&, const std::string& message) { errors_.push_back(message); });
  }

  void Run(const std::string& commandLine) {
    dos_.SetCommandLine(commandLine);
    dos_.Execute();
  }
  bool PumpUntilEnded(std::chrono::milliseconds timeout = 10s) {
    return dispatcher_.PumpUntil([&] { return !dos_.Running(); }, timeout);
  }
  bool PumpUntilPieces(size_t count) {
    return dispatcher_.PumpUntil([&] { return pieces_.size() >= count; });
  }
  std::vector<Piece> Completes(std::initializer_list<const char*> lines) {
    std::vector<Piece> result;
    for (const char* line : lines) result.push_back({line, CompleteLine});
    return result;
  }

  const std::thread::id mainThread_ = std::this_thread::get_id();
  test::TempDir root_;
  sim::SimProcesses processes_{root_.path()};
  test::QueueDispatcher dispatcher_;
  std::vector<Piece> pieces_;
  std::vector<std::string> errors_;
  std::atomic<uint32_t> terminatedWith_{0xDEAD};
  std::atomic<int> terminations_{0};
  TDosCommand dos_{processes_, dispatcher_};
};

TEST_F(CaptureTest, SlowLinesArriveOneByOneOnTheMainThreadInOrder) {
  Run("lanvoy_test_printer --lines 4 --delay-ms 40 --exit 3");
  EXPECT_TRUE(dos_.Running());
  ASSERT_TRUE(PumpUntilEnded());
  EXPECT_EQ(pieces_, Completes({"line 1", "line 2", "line 3", "line 4"}));
  EXPECT_EQ(dos_.RunState(), rsEnded);
  EXPECT_EQ(dos_.RunCode(), 3u);
  EXPECT_EQ(terminations_, 1);
  EXPECT_EQ(terminatedWith_, 3u);
  EXPECT_EQ(dos_.OutputReturnCode(), rcCRLF);
  EXPECT_EQ(dos_.CapturedLines(),
            (std::vector<std::string>{"line 1", "line 2", "line 3", "line 4"}));
  EXPECT_TRUE(errors_.empty());
}

TEST_F(CaptureTest, LfEndsAndNulBytesOfARealProgram) {
  Run(R"(lanvoy_test_printer --lf --lines 1 --text "a\0b\n\n")");
  ASSERT_TRUE(PumpUntilEnded());
  EXPECT_EQ(pieces_, Completes({"ab", "", "line 1"}));
  EXPECT_EQ(dos_.OutputReturnCode(), rcLF);
}

TEST_F(CaptureTest, FinalPartialLineIsRaisedAgainAtTheEndButStandsOnceInTargetLines) {
  std::vector<std::string> target;
  dos_.SetTargetLines(&target);
  Run("lanvoy_test_printer --lines 2 --delay-ms 30 --partial tail");
  ASSERT_TRUE(PumpUntilEnded());
  ASSERT_GE(pieces_.size(), 4u);
  EXPECT_EQ(std::vector<Piece>(pieces_.begin(), pieces_.begin() + 2),
            Completes({"line 1", "line 2"}));
  for (size_t i = 2; i < pieces_.size(); ++i) EXPECT_EQ(pieces_[i], (Piece{"tail", PartialLine}));
  EXPECT_EQ(target, (std::vector<std::string>{"line 1", "line 2", "tail"}));
  EXPECT_EQ(dos_.RunState(), rsEnded);
}

TEST_F(CaptureTest, ALongLineOverManyReadsIsKeptOnce) {
  constexpr size_t kSize = 4 << 20;
  Run("lanvoy_test_printer --lines 1 --long-line " + std::to_string(kSize));
  ASSERT_TRUE(PumpUntilEnded(30s));
  ASSERT_GT(pieces_.size(), 3u);  // it did come over several reads
  ASSERT_EQ(dos_.CapturedLines().size(), 2u);
  EXPECT_EQ(dos_.CapturedLines()[0], "line 1");
  EXPECT_EQ(dos_.CapturedLines()[1], std::string(kSize, 'x'));
}

TEST_F(CaptureTest, StopEndsTheProgramAndHandsNothingMore) {
  Run("lanvoy_test_printer --lines 1 --forever");
  ASSERT_TRUE(PumpUntilPieces(1));
  dos_.Stop();
  ASSERT_TRUE(PumpUntilEnded(3s));
  EXPECT_EQ(dos_.RunState(), rsStopped);
  EXPECT_EQ(terminatedWith_, platform::kStillActive);
  EXPECT_EQ(pieces_, Completes({"line 1"}));
}

TEST_F(CaptureTest, ExecuteStopsTheRunningCaptureAndStartsAfresh) {
  Run(R"(lanvoy_test_printer --text "first\r\n" --forever)");
  ASSERT_TRUE(PumpUntilPieces(1));
  Run(R"(lanvoy_test_printer --text "second\r\n")");
  ASSERT_TRUE(PumpUntilEnded());
  EXPECT_EQ(pieces_, Completes({"first", "second"}));
  EXPECT_EQ(dos_.CapturedLines(), std::vector<std::string>{"second"});
  dispatcher_.PumpUntil([&] { return terminations_ == 2; }, 3s);
  EXPECT_EQ(terminations_, 2);
}

TEST_F(CaptureTest, InputQueueReachesTheProgram) {
  Run("lanvoy_test_printer --echo");
  dos_.AddInput("ping\r\n");
  ASSERT_TRUE(PumpUntilPieces(1));
  EXPECT_EQ(pieces_, Completes({"ping"}));
  dos_.Stop();
  ASSERT_TRUE(PumpUntilEnded(3s));
}

TEST_F(CaptureTest, TimeAfterBeginningEndsARunThatKeepsPrinting) {
  dos_.SetMaxTimeAfterBeginning(1);
  const auto start = std::chrono::steady_clock::now();
  Run("lanvoy_test_printer --lines 100 --delay-ms 200");
  ASSERT_TRUE(PumpUntilEnded());
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(dos_.RunState(), rsTimedOut);
  EXPECT_GE(elapsed, 2s);  // whole seconds, strictly more than the limit
  EXPECT_LT(elapsed, 4s);
  EXPECT_GE(pieces_.size(), 5u);
}

TEST_F(CaptureTest, TimeAfterLastOutputCountsFromTheLastPiece) {
  dos_.SetMaxTimeAfterLastOutput(1);
  Run("lanvoy_test_printer --lines 9 --delay-ms 300");  // never silent for a second
  ASSERT_TRUE(PumpUntilEnded());
  EXPECT_EQ(dos_.RunState(), rsEnded);
  EXPECT_EQ(pieces_.size(), 9u);

  pieces_.clear();
  const auto start = std::chrono::steady_clock::now();
  Run("lanvoy_test_printer --lines 1 --forever");
  ASSERT_TRUE(PumpUntilEnded());
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(dos_.RunState(), rsTimedOut);
  EXPECT_GE(elapsed, 2s);
  EXPECT_LT(elapsed, 4s);
  EXPECT_EQ(terminatedWith_, platform::kStillActive);
}

TEST_F(CaptureTest, MissingProgramGivesOneErrorAndNoLine) {
  Run("lanvoy_no_such_program /all");
  ASSERT_TRUE(PumpUntilEnded());
  dispatcher_.PumpFor(50ms);
  EXPECT_TRUE(pieces_.empty());
  EXPECT_EQ(errors_, std::vector<std::string>{"lanvoy_no_such_program /all doesn't exist."});
  EXPECT_EQ(dos_.RunState(), rsStartFailed);
  EXPECT_EQ(dos_.RunCode(), 2u);
}

TEST_F(CaptureTest, EmptyCommandLineStartsNothingAndLeavesARunAlone) {
  dos_.Execute();
  EXPECT_FALSE(dos_.Running());
  Run("lanvoy_test_printer --lines 3 --delay-ms 30");
  dos_.SetCommandLine("");
  dos_.Execute();
  EXPECT_TRUE(dos_.Running());
  ASSERT_TRUE(PumpUntilEnded());
  EXPECT_EQ(pieces_, Completes({"line 1", "line 2", "line 3"}));
}

// The destroyed component is one of these tests' own, not the fixture's.
class CaptureDestructionTest : public ::testing::Test {
 protected:
  test::TempDir root_;
  sim::SimProcesses processes_{root_.path()};
  test::QueueDispatcher dispatcher_;
};

TEST_F(CaptureDestructionTest, WhileTheWorkerWaitsInAHandOver) {
  int calls = 0;
  {
    TDosCommand dos(processes_, dispatcher_);
    dos.SetOnNewLine([&](TDosCommand&, const std::string&, TOutputType) { ++calls; });
    dos.SetOnTerminated([&](TDosCommand&, uint32_t) { ++calls; });
    dos.SetCommandLine("lanvoy_test_printer --lines 3 --forever");
    dos.Execute();
    // Nothing is pumped: the worker waits for this thread with the first line.
    for (int i = 0; i < 2500 && dispatcher_.Waiting() == 0; ++i) std::this_thread::sleep_for(2ms);
    ASSERT_EQ(dispatcher_.Waiting(), 1u);
  }
  // The pending call runs without reaching the gone component, and no other follows.
  dispatcher_.PumpFor(300ms);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(dispatcher_.Waiting(), 0u);
}

TEST_F(CaptureDestructionTest, WhileTheProgramRunsSilently) {
  std::atomic<int> terminated{0};
  const auto start = std::chrono::steady_clock::now();
  {
    TDosCommand dos(processes_, dispatcher_);
    dos.SetOnTerminated([&](TDosCommand&, uint32_t) { ++terminated; });
    dos.SetCommandLine("lanvoy_test_printer --forever");
    dos.Execute();
    std::this_thread::sleep_for(100ms);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
  EXPECT_EQ(terminated, 0);
  EXPECT_EQ(dispatcher_.Waiting(), 0u);
}

}  // namespace
}  // namespace lanvoy
