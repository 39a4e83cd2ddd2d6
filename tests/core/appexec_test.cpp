#include "components/appexec.h"

#include <gtest/gtest.h>

#include "core/fake_processes.h"

namespace lanvoy {
namespace {

using test::FakeProcesses;

TEST(AppExecCommandLine, NameThenEachParameterAfterOneBlank) {
  FakeProcesses processes;
  TAppExec exec(processes);
  exec.SetExeName("netsh");
  EXPECT_EQ(exec.CommandLine(), "netsh");
  exec.SetExeParams({"-f \"C:\\Program Files\\Lanvoy\\tmp.txt\""});
  EXPECT_EQ(exec.CommandLine(), "netsh -f \"C:\\Program Files\\Lanvoy\\tmp.txt\"");
  exec.SetExeName("Rundll32.exe");
  exec.SetExeParams({"Shell32.dll,Control_RunDLL", "", "ncpa.cpl"});
  EXPECT_EQ(exec.CommandLine(), "Rundll32.exe Shell32.dll,Control_RunDLL  ncpa.cpl");
}

TEST(AppExecCommandLine, CutToTheBufferAndHandedOverUnchanged) {
  FakeProcesses processes;
  TAppExec exec(processes);
  exec.SetExeName("prog");
  exec.SetExeParams({std::string(600, 'x')});
  const std::string line = exec.CommandLine();
  EXPECT_EQ(line.size(), 511u);
  EXPECT_EQ(line.substr(0, 6), "prog x");
  exec.Execute();
  ASSERT_EQ(processes.starts.size(), 1u);
  EXPECT_EQ(processes.starts[0].commandLine, line);
  EXPECT_EQ(processes.starts[0].creationFlags, 0x30u);
  EXPECT_EQ(processes.starts[0].stdinPipe, nullptr);
  EXPECT_EQ(processes.starts[0].stdoutPipe, nullptr);
}

TEST(AppExecShowCommand, FollowsWindowStateAndHideIfMinimizedInEitherOrder) {
  FakeProcesses processes;
  TAppExec a(processes);
  EXPECT_EQ(a.ShowCommand(), 1);
  a.SetWindowState(wsMinimized);
  EXPECT_EQ(a.ShowCommand(), 2);
  a.SetHideIfMinimized(true);
  EXPECT_EQ(a.ShowCommand(), 0);

  TAppExec b(processes);
  b.SetHideIfMinimized(true);
  EXPECT_EQ(b.ShowCommand(), 1);
  b.SetWindowState(wsMinimized);
  EXPECT_EQ(b.ShowCommand(), 0);
  b.SetWindowState(wsMaximized);
  EXPECT_EQ(b.ShowCommand(), 3);
  b.SetWindowState(wsNormal);
  EXPECT_EQ(b.ShowCommand(), 1);

  b.SetWindowState(wsMinimized);
  b.Execute();
  EXPECT_EQ(processes.starts.back().showWindow, 0);
}

TEST(AppExecPath, TrailingBackslashGoesExceptForRoots) {
  FakeProcesses processes;
  TAppExec exec(processes);
  exec.SetExePath("C:\\Data\\");
  EXPECT_EQ(exec.ExePath(), "C:\\Data");
  exec.SetExePath("C:\\");
  EXPECT_EQ(exec.ExePath(), "C:\\");
  exec.SetExePath("\\");
  EXPECT_EQ(exec.ExePath(), "\\");
  exec.SetExePath("");
  EXPECT_EQ(exec.ExePath(), "");
}

TEST(AppExecPath, ChangesDirectoryOnlyWhenAskedAndRaisesItsFailure) {
  FakeProcesses processes;
  TAppExec exec(processes);
  exec.SetExeName("prog");
  exec.Execute();  // no ExePath: no change
  EXPECT_TRUE(processes.directories.empty());

  exec.SetExePath("C:\\Work\\");
  exec.SetChangeDir(false);
  exec.Execute();
  EXPECT_TRUE(processes.directories.empty());

  exec.SetChangeDir(true);
  exec.Execute();
  ASSERT_EQ(processes.directories.size(), 1u);
  EXPECT_EQ(processes.directories[0], "C:\\Work");

  processes.chdirFailure = "The system cannot find the path specified";
  const size_t started = processes.starts.size();
  try {
    exec.Execute();
    FAIL() << "no error";
  } catch (const EAppExecChDir& e) {
    EXPECT_STREQ(e.what(), "The system cannot find the path specified");
  }
  EXPECT_EQ(processes.starts.size(), started);
  EXPECT_EQ(exec.ErrNo(), -1);
}

TEST(AppExecErrors, TextOfEachCode) {
  EXPECT_EQ(AppExecErrorText(-1), "No execution");
  EXPECT_EQ(AppExecErrorText(2), "File was not found");
  EXPECT_EQ(AppExecErrorText(21), "Application requires 32-bit extensions");
  EXPECT_EQ(AppExecErrorText(32), "No error");
  EXPECT_EQ(AppExecErrorText(2147483647), "No error");
  for (int code : {1, 4, 7, 9, 17, 18, 22, 31, -2}) EXPECT_EQ(AppExecErrorText(code), "") << code;
}

TEST(AppExecErrors, FailedStartRaisesTheTextAndKeepsTheCode) {
  FakeProcesses processes;
  TAppExec exec(processes);
  exec.SetExeName("nothere");
  exec.SetWait(true);
  const std::pair<uint32_t, const char*> cases[] = {
      {2, "File was not found"}, {1450, "No error"}, {1, ""}, {0x80070002u, ""}};
  for (const auto& [code, text] : cases) {
    processes.startError = code;
    try {
      exec.Execute();
      FAIL() << "no error for " << code;
    } catch (const EAppExecWinExec& e) {
      EXPECT_STREQ(e.what(), text);
    }
    EXPECT_EQ(exec.ErrNo(), static_cast<int32_t>(code));
    EXPECT_EQ(exec.Processhandle(), 0u);
  }
  EXPECT_EQ(processes.process->waits, 0);
}

TEST(AppExecRun, WaitedRunSetsErrNoAndHandleUnwaitedLeavesThem) {
  FakeProcesses processes;
  TAppExec exec(processes);
  exec.SetExeName("prog");
  exec.Execute();
  EXPECT_EQ(exec.ErrNo(), -1);
  EXPECT_EQ(exec.Processhandle(), 0u);
  EXPECT_EQ(processes.process->waits, 0);

  exec.SetWait(true);
  exec.Execute();
  EXPECT_EQ(exec.ErrNo(), 0);
  EXPECT_EQ(exec.Processhandle(), 4242u);
  EXPECT_EQ(processes.process->waits, 1);

  processes.startError = 2;
  EXPECT_THROW(exec.Execute(), EAppExecWinExec);
  EXPECT_EQ(exec.ErrNo(), 2);
  processes.startError = 0;
  exec.SetWait(false);
  exec.Execute();
  EXPECT_EQ(exec.ErrNo(), 2);  // an unwaited start leaves the last result
}

TEST(AppExecRun, CapturedRunCollectsEveryChunkAndTheExitCode) {
  FakeProcesses processes;
  processes.script = {"Ok.\r\n", std::string(5000, 'z'), "\r\nThe end"};
  processes.process->exitCode = 1;
  TAppExec exec(processes);
  exec.SetExeName("netsh");
  exec.SetWait(true);
  exec.SetCaptureOutput(true);
  exec.Execute();
  EXPECT_EQ(exec.Output(), "Ok.\r\n" + std::string(5000, 'z') + "\r\nThe end");
  EXPECT_EQ(exec.ExitCode(), 1u);
  EXPECT_EQ(exec.ErrNo(), 0);
  ASSERT_EQ(processes.starts.size(), 1u);
  EXPECT_NE(processes.starts[0].stdoutPipe, nullptr);
  EXPECT_NE(processes.starts[0].stdinPipe, nullptr);
  // The program's input is closed, so a program reading it sees its end.
  EXPECT_TRUE(processes.pipes[0]->writeClosed);
}

}  // namespace
}  // namespace lanvoy
