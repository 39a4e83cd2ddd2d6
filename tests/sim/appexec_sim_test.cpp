// The process runner starting real programs on the simulated host.
#include <gtest/gtest.h>

#include "components/appexec.h"
#include "platform/sim/processes.h"
#include "test_support/temp_dir.h"

namespace lanvoy {
namespace {

class AppExecSimTest : public ::testing::Test {
 protected:
  test::TempDir root_;
  sim::SimProcesses processes_{root_.path()};
  TAppExec exec_{processes_};
};

TEST_F(AppExecSimTest, MissingProgramIsFileNotFound) {
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

TEST_F(AppExecSimTest, WaitedRunBlocksUntilTheEnd) {
  exec_.SetExeName("lanvoy_test_printer");
  exec_.SetExeParams({"--sleep-ms", "150", "--exit", "4"});
  exec_.SetWait(true);
  const auto start = std::chrono::steady_clock::now();
  exec_.Execute();
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
  EXPECT_EQ(exec_.ErrNo(), 0);
  EXPECT_NE(exec_.Processhandle(), 0u);
}

TEST_F(AppExecSimTest, CapturedRunHoldsAllOutputAndTheExitCode) {
  exec_.SetExeName("lanvoy_test_printer");
  exec_.SetExeParams({"--lines", "20000", "--partial", "end", "--exit", "1"});
  exec_.SetWait(true);
  exec_.SetCaptureOutput(true);
  exec_.Execute();
  EXPECT_EQ(exec_.ExitCode(), 1u);
  EXPECT_EQ(exec_.ErrNo(), 0);
  const std::string& out = exec_.Output();
  EXPECT_EQ(out.substr(0, 8), "line 1\r\n");
  EXPECT_NE(out.find("line 20000\r\nend"), std::string::npos);
  EXPECT_EQ(out.size(), out.find("end") + 3);

  // A program reading its input sees the end of it instead of waiting for ever.
  exec_.SetExeParams({"--echo", "--partial", "done"});
  exec_.Execute();
  EXPECT_EQ(exec_.Output(), "done");
  EXPECT_EQ(exec_.ExitCode(), 0u);
}

}  // namespace
}  // namespace lanvoy
