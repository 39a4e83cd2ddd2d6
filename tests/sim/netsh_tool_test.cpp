#include "standin/netsh_tool.h"

#include <gtest/gtest.h>

#include "sim/netsh_test_support.h"
#include "standin/network_state.h"
#include "test_support/temp_dir.h"

namespace lanvoy::standin {
namespace {

TEST(NetshTool, ScriptPathInWindowsFormLiesOnTheHost) {
  test::TempDir host;
  host.Write("Programme/Lanvoy/tmp.txt",
             "interface ip set address name=WLAN source=static "
             "addr=172.16.1.1 mask=255.255.0.0\r\n");
  std::string out;
  EXPECT_EQ(RunNetsh({"-f", "C:\\Programme\\Lanvoy\\tmp.txt"}, host.path(), out), 0) << out;
  EXPECT_FALSE(NetworkState::Load(NetworkStatePath(host.path())).Find("WLAN")->dhcp);
}

TEST(NetshTool, FailuresGiveExitCodeOne) {
  test::TempDir host;
  std::string out;
  EXPECT_EQ(RunNetsh({"-f", host.File("absent.txt")}, host.path(), out), 1);
  EXPECT_NE(out.find("The system cannot find the file specified."), std::string::npos) << out;
  EXPECT_FALSE(host.Exists("network.ini"));  // nothing ran

  host.Write("bad.txt",
             "pushd interface ip\nset dns name=\"Nowhere\" source=dhcp\n"
             "set dns name=\"LAN-Verbindung\" source=dhcp\npopd\n");
  out.clear();
  EXPECT_EQ(RunNetsh({"-f", host.File("bad.txt")}, host.path(), out), 1);
  EXPECT_EQ(out, "Invalid interface \"Nowhere\" specified.\r\nOk.\r\n");
  // The good line after the refused one was kept.
  EXPECT_TRUE(
      NetworkState::Load(NetworkStatePath(host.path())).Find("LAN-Verbindung")->dnsFromDhcp);

  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"-f"},
                                             {"-c", "interface"},
                                             {"-c", "routing", "dump"},
                                             {"-c", "interface", "show"}}) {
    out.clear();
    EXPECT_EQ(RunNetsh(args, host.path(), out), 1) << args.size();
    EXPECT_FALSE(out.empty());
  }
}

TEST(NetshTool, BuiltProgramRunsScriptsAndDumps) {
  test::TempDir host;
  host.Write("script.txt",
             "pushd interface ip\r\nset address name = \"WLAN\" static addr = "
             "10.5.0.2 mask = 255.255.255.0\r\nset address name = \"WLAN\" gateway "
             "= 10.5.0.1 gwmetric = 1\r\npopd\r\n");
  auto run = test::RunTool("netsh", "-f '" + host.File("script.txt") + "'", host.path());
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output, "Ok.\r\nOk.\r\n");
  run = test::RunTool("netsh", "-C INTERFACE Dump", host.path());
  EXPECT_EQ(run.exitCode, 0);
  auto dump = test::ReadDump(run.output);
  EXPECT_EQ(dump["WLAN"].addressSource, "static");
  EXPECT_EQ(dump["WLAN"].addresses, std::vector<std::string>{"10.5.0.2"});
  EXPECT_EQ(dump["WLAN"].gateway, "10.5.0.1");
  EXPECT_EQ(dump["WLAN"].gwmetric, "1");

  run = test::RunTool("netsh", "-f '" + host.File("none.txt") + "'", host.path());
  EXPECT_EQ(run.exitCode, 1);
}

TEST(NetshTool, AWindows10HostHasWindows10sNetsh) {
  test::TempDir host;
  host.Write("registry.reg",
             "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\"
             "CurrentVersion]\r\n\"CurrentMajorVersionNumber\"=dword:0000000a\r\n\r\n");
  host.Write("script.txt",
             "pushd interface\r\nreset all\r\npopd\r\n"
             "interface ipv4 set address name=17 static 10.5.0.2 255.255.255.0\r\n");
  std::string out;
  EXPECT_EQ(RunNetsh({"-f", host.File("script.txt")}, host.path(), out), 1);
  EXPECT_EQ(out, "The following command was not found: reset all.\r\n");
  EXPECT_FALSE(NetworkState::Load(NetworkStatePath(host.path())).Find("WLAN")->dhcp);
}

}  // namespace
}  // namespace lanvoy::standin
