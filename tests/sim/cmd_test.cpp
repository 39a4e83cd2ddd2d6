#include <gtest/gtest.h>

#include "sim/netsh_test_support.h"
#include "test_support/temp_dir.h"

namespace lanvoy::test {
namespace {

TEST(Cmd, RedirectedOutputLandsInTheFileBytesUnchanged) {
  TempDir host;
  // The program's dump batch file: one line, no blank between ">" and the quoted path.
  host.Write("Programme/Lanvoy/tmp.bat",
             "netsh.exe -c interface dump >\"C:\\Programme\\Lanvoy\\tmp.txt\"\r\n");
  auto run = RunTool("cmd", "/c 'C:\\Programme\\Lanvoy\\tmp.bat'", host.path());
  EXPECT_EQ(run.exitCode, 0) << run.output;
  const std::string direct = RunTool("netsh", "-c interface dump", host.path()).output;
  ASSERT_NE(direct.find("pushd interface ip"), std::string::npos);
  EXPECT_EQ(host.Read("Programme/Lanvoy/tmp.txt"), direct);
  // Echo is on: the command line shows on the console, the dump does not.
  EXPECT_NE(run.output.find(">netsh.exe -c interface dump >\"C:\\Programme\\Lanvoy\\tmp.txt\""),
            std::string::npos)
      << run.output;
  EXPECT_EQ(run.output.find("pushd interface"), std::string::npos);
}

TEST(Cmd, OwnCommandsCommentsAppendAndExitCodes) {
  TempDir host;
  host.Write("out dir/keep.txt", "");
  host.Write("script.bat",
             "@echo off\r\n"
             "rem the profile's script\r\n"
             ":: another comment\r\n"
             "\r\n"
             "echo first>\"C:\\out dir\\log.txt\"\r\n"
             "echo second >> \"C:\\out dir\\log.txt\"\r\n"
             "echo.>>C:\\log2.txt\r\n"
             "echo on the console\r\n"
             "Rundll32 Shell32.dll,Control_RunDLL ncpa.cpl\r\n"
             "netsh -f C:\\missing.txt\r\n");
  auto run = RunTool("cmd", "/c '" + host.File("script.bat") + "'", host.path());
  EXPECT_EQ(run.exitCode, 1);  // the last command's
  EXPECT_EQ(host.Read("out dir/log.txt"), "first\r\nsecond \r\n");
  EXPECT_EQ(host.Read("log2.txt"), "\r\n");
  // Output that is not redirected, the children's too, reaches the console in order.
  const auto console = run.output.find("on the console\r\nLAN-Verbindung\r\nWLAN\r\n");
  EXPECT_NE(console, std::string::npos) << run.output;
  EXPECT_NE(run.output.find("The system cannot find the file specified.", console),
            std::string::npos);
  EXPECT_EQ(run.output.find("rem"), std::string::npos);

  host.Write("ok.bat", "@echo off\r\nnetsh -f C:\\missing.txt\r\necho done\r\n");
  EXPECT_EQ(RunTool("cmd", "/c '" + host.File("ok.bat") + "'", host.path()).exitCode, 0);
  host.Write("exit.bat", "@echo off\r\nexit /b 3\r\necho not reached>C:\\no.txt\r\n");
  EXPECT_EQ(RunTool("cmd", "/c '" + host.File("exit.bat") + "'", host.path()).exitCode, 3);
  EXPECT_FALSE(host.Exists("no.txt"));
}

TEST(Cmd, UnknownProgramsAndSingleCommands) {
  TempDir host;
  host.Write("bad.bat", "@echo off\r\nfrobnicate --now >C:\\out.txt\r\n");
  auto run = RunTool("cmd", "/c '" + host.File("bad.bat") + "'", host.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("'frobnicate' is not recognized as an internal or external command"),
            std::string::npos)
      << run.output;
  EXPECT_EQ(host.Read("out.txt"), "");  // the target is made even when the command fails

  // A file named like the command in the working folder is no batch file: only ".bat" and
  // ".cmd" files are.
  host.Write("work/ipconfig", "echo taken for a batch file>C:\\wrong.txt\r\n");
  run = RunTool("cmd", "/c ipconfig /all '>C:\\report.txt'", host.path(), host.path() / "work");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(host.Read("report.txt").find("Ethernet adapter WLAN:\r\n"), std::string::npos);
  EXPECT_FALSE(host.Exists("wrong.txt"));
  host.Write("work/Run.CMD", "@echo off\r\necho from the batch file>C:\\ran.txt\r\n");
  EXPECT_EQ(RunTool("cmd", "/c Run.CMD", host.path(), host.path() / "work").exitCode, 0);
  EXPECT_EQ(host.Read("ran.txt"), "from the batch file\r\n");

  EXPECT_EQ(RunTool("cmd", "", host.path()).exitCode, 1);
}

}  // namespace
}  // namespace lanvoy::test
