// Lanvoy.exe as a user or a script starts it, from a folder with a blank in its path: the
// unattended apply ends with the exit code of its outcome and writes its messages to the
// caller's standard error; started plainly it shows its window and ends when it is closed.
#include "win32gui/win32_window.h"
// windows.h first.
#include <filesystem>

#include "win32/win32_test_support.h"

namespace lanvoy {
namespace {

class ProgramTest : public test::Win32WindowTest {
 protected:
  void SetUp() override {
    Win32WindowTest::SetUp();
    std::filesystem::copy_file(test::BesideTests(*machine, "Lanvoy.exe"),
                               dir.path() / "Lanvoy.exe");
    // A netsh.exe planted beside the program is never started: Windows' own is, by its full
    // path (the stand-in plays it in the prefix's system32). This one would fail every apply.
    std::filesystem::copy_file(test::BesideTests(*machine, "lanvoy_test_child.exe"),
                               dir.path() / "netsh.exe");
    dir.Write("nosplash", "");
    dir.Write("host/network.ini",
              "[LAN-Verbindung 2]\r\nMode=dhcp\r\nDnsSource=dhcp\r\nWinsSource=dhcp\r\n");
    dir.Write("Lanvoy.INI",
              "[Office]\r\nLongLANDescription=LAN-Verbindung 2\r\nDHCP=0\r\nIP=10.20.30.40\r\n"
              "Subnet=255.255.255.0\r\nGateway=10.20.30.1\r\nDNS=10.20.30.2\r\n"
              "[Far]\r\nLongLANDescription=LAN-Verbindung 2\r\nDHCP=0\r\nIP=10.20.30.41\r\n"
              "Subnet=255.255.255.0\r\nGateway=10.99.0.1\r\nDNS=10.20.30.2\r\n");
  }
  test::Captured Run(const std::string& args) {
    return test::RunCaptured(*machine, test::Quoted(dir.File("Lanvoy.exe")) + " " + args, "",
                             60000);
  }
};

TEST_F(ProgramTest, UnattendedApplyEndsWithTheExitCodeOfItsOutcome) {
  struct Case {
    const char* args;
    uint32_t exitCode;
    const char* message;  // in its standard error
    const char* address;  // in the network state afterwards
  };
  const Case cases[] = {
      {"Far hide", 4, "Nothing was changed", "10.20.30.40"},
      {"Office hide", 0, "", "10.20.30.40"},
      {"Far hide", 4, "the gateway 10.99.0.1 lies outside the subnet", "10.20.30.40"},
      {"Far hide --force", 0, "", "10.20.30.41"},
  };
  bool first = true;
  std::string beforeForce;
  for (const Case& c : cases) {
    if (std::string(c.args).find("--force") != std::string::npos)
      beforeForce = dir.Read("host/network.ini");
    const test::Captured run = Run(c.args);
    ASSERT_TRUE(run.started) << c.args;
    EXPECT_EQ(run.exitCode, c.exitCode) << c.args << "\n" << run.output;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << c.args << "\n" << run.output;
    // Before the first apply the connection has no address yet.
    if (!first || c.exitCode == 0) {
      EXPECT_NE(dir.Read("host/network.ini").find(c.address), std::string::npos) << c.args;
    }
    first = false;
  }
  // The forced apply undone: the connections as before it, byte for byte.
  const test::Captured undo = Run("--undo hide");
  EXPECT_EQ(undo.exitCode, 0u) << undo.output;
  EXPECT_EQ(dir.Read("host/network.ini"), beforeForce);
}

TEST_F(ProgramTest, PlainStartShowsTheWindowUntilItIsClosed) {
  test::SetEnvironment("LANVOY_HOST", dir.File("host"));
  platform::StartInfo info;
  info.commandLine = test::Quoted(dir.File("Lanvoy.exe"));
  uint32_t error = 0;
  auto process = machine->processes().Start(info, error);
  ASSERT_TRUE(process) << error;
  HWND shown = nullptr;
  for (int i = 0; i < 300 && !shown; ++i) {
    HWND found = FindWindowW(L"TLanvoyWindow", L"Lanvoy");
    if (found && IsWindowVisible(found))
      shown = found;
    else
      Sleep(50);
  }
  ASSERT_TRUE(shown) << "no window";
  PostMessageW(shown, WM_CLOSE, 0, 0);
  EXPECT_TRUE(process->Wait(20000));
  EXPECT_EQ(process->ExitCode(), 0u);
}

}  // namespace
}  // namespace lanvoy
