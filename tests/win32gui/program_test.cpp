// Lanvoy.exe as a user or a script starts it, from a folder with a blank in its path: the
// unattended apply ends with the exit code of its outcome and writes its messages to the
// caller's standard error; started plainly it shows its window and ends when it is closed.
#include "win32gui/win32_window.h"
// windows.h first.
#include <filesystem>
#include <nlohmann/json.hpp>

#include "profiles/profile_store.h"

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

// A script's commands from a command prompt: names in the console's code page, exit codes,
// JSON documents read back field by field, a refused import that leaves the store as it was
// and an export that comes back whole on another store.
TEST_F(ProgramTest, CommandsForScriptsFromACommandPrompt) {
  dir.Write("Lanvoy.GUI", "[Programm]\r\nMsgAdminNeeded=1\r\nMsgRestartBrowser=1\r\n");
  const std::string store =
      "[B\xFCro]\r\nLongLANDescription=LAN-Verbindung 2\r\nDHCP=1\r\n"
      "DHCP_DNS=1\r\nAbteilung=Vertrieb\r\n\r\n" +
      dir.Read("Lanvoy.INI");
  dir.Write("Lanvoy.INI", store);
  platform::System& system = machine->system();
  const test::Captured list =
      test::RunCaptured(*machine,
                        test::Quoted(system.SystemDirectory() + "\\cmd.exe") + " /c " +
                            test::Quoted(dir.File("Lanvoy.exe")) + " --list",
                        "", 60000);
  EXPECT_EQ(list.output,
            system.FromUtf8("B\xC3\xBCro", system.OemCodePage()) + "\r\nFar\r\nOffice\r\n");

  const struct {
    std::string args;
    uint32_t exitCode;
    const char* output;
  } cases[] = {
      {"--show Far", 0, "[Far]\r\nLongLANDescription=LAN-Verbindung 2\r\nDHCP=0\r\n"},
      {"--check Far", 4, "Error: LAN-Verbindung 2: the gateway 10.99.0.1 lies outside"},
      {"--check Office", 0, ""},
      {"--bogus", 1, "Unknown option --bogus."},
      {"--export Office Far --to " + test::Quoted(dir.File("Team Datei.INI")), 0, ""},
      {"--import " + test::Quoted(dir.File("Team Datei.INI")), 0,
       "Profile \"Office\" exists already and was not imported"},
      {"Office hide", 0, ""},
      {"--history 1", 0, "apply Office: verified"},
      {"--current Jetzt", 0, "[Jetzt]\r\nIP2="},
      {"--help", 0, "Exit codes:"},
  };
  for (const auto& c : cases) {
    const test::Captured run = Run(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.args << "\n" << run.output;
    EXPECT_NE(run.output.find(c.output), std::string::npos) << c.args << "\n" << run.output;
  }
  EXPECT_EQ(dir.Read("Lanvoy.INI"), store);

  auto json = [&](const std::string& args) {
    // Standard error shares the pipe: its findings come before the document.
    const test::Captured run = Run(args + " --json");
    const size_t from =
        !run.output.empty() && run.output[0] == '{' ? 0 : run.output.find("\n{") + 1;
    auto parsed = nlohmann::json::parse(
        run.output.substr(from, run.output.rfind('}') + 1 - std::min(from, run.output.size())),
        nullptr, false);
    EXPECT_TRUE(parsed.is_object()) << args << "\n" << run.output;
    return parsed.is_object() ? parsed : nlohmann::json::object();
  };
  const auto check = json("--check Far");
  EXPECT_EQ(check.value("exitCode", -1), 4);
  ASSERT_EQ(check["findings"].size(), 1u);
  EXPECT_EQ(check["findings"][0]["level"], "error");
  EXPECT_EQ(check["findings"][0]["connection"], "LAN-Verbindung 2");
  EXPECT_EQ(json("--list")["profiles"], nlohmann::json::array({"B\xC3\xBCro", "Far", "Office"}));
  const auto apply = json("Far hide --force");
  EXPECT_EQ(apply.value("exitCode", -1), 0);
  EXPECT_EQ(apply["findings"][0]["level"], "error");
  EXPECT_EQ(apply["stages"][0], nlohmann::json({{"stage", "network"}, {"outcome", "done"}}));
  EXPECT_EQ(apply["notInPlace"], nlohmann::json::array());
  const auto undo = json("--undo hide");
  EXPECT_EQ(undo.value("profile", ""), "Far");
  EXPECT_EQ(undo.value("exitCode", -1), 0);
  const std::string undone = json("--history 2")["lines"][1].value("event", "");
  EXPECT_EQ(undone.rfind("undo Far of ", 0), 0u) << undone;

  // A bad section refuses the file; then the export on a store of its own comes back whole.
  dir.Write("bad.INI", "[Neu]\r\nDHCP=1\r\n\r\n[Far]\r\nDHCP=ja\r\n");
  const std::string now = dir.Read("Lanvoy.INI");
  const test::Captured refused =
      Run("--import " + test::Quoted(dir.File("bad.INI")) + " --replace");
  EXPECT_EQ(refused.exitCode, 1u);
  EXPECT_NE(refused.output.find("Profile \"Far\": DHCP=ja is no number."), std::string::npos)
      << refused.output;
  EXPECT_EQ(dir.Read("Lanvoy.INI"), now);
  ASSERT_EQ(Run("--export --all --to " + test::Quoted(dir.File("Team Datei.INI"))).exitCode, 0u);
  std::filesystem::rename(dir.path() / "Lanvoy.INI", dir.path() / "before.INI");
  const test::Captured imported = Run("--import " + test::Quoted(dir.File("Team Datei.INI")));
  EXPECT_EQ(imported.exitCode, 0u) << imported.output;
  EXPECT_NE(imported.output.find("keys Lanvoy does not read are kept: Abteilung."),
            std::string::npos);
  const TProfileStore before(dir.File("before.INI")), after(dir.File("Lanvoy.INI"));
  ASSERT_EQ(after.ProfileNames(), before.ProfileNames());
  for (const std::string& name : before.ProfileNames())
    EXPECT_EQ(after.Ini().ReadSectionValues(name), before.Ini().ReadSectionValues(name)) << name;
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
