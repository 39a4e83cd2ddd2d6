// The program's start on a simulated host: splash, unattended apply, not-found message and
// debug mode.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

#include "app/program.h"
#include "app/startup.h"
#include "apply/printer_computer.h"
#include "apply/proxy_settings.h"
#include "mainwindow/main_form.h"
#include "platform/sim/sim_platform.h"
#include "test_support/host_windows.h"
#include "test_support/recording_window.h"
#include "test_support/scripted_questions.h"
#include "test_support/temp_dir.h"

namespace lanvoy {
namespace {

using Clock = std::chrono::steady_clock;

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.Write("Lanvoy.GUI", "[Programm]\r\nMsgAdminNeeded=1\r\nMsgRestartBrowser=1\r\n");
    dir.Write("Lanvoy.INI",
              "[Office]\r\nLongLANDescription=LAN-Verbindung\r\nDHCP=0\r\nIP=10.9.8.7\r\n"
              "Subnet=255.0.0.0\r\nDNS=10.0.0.1\r\nIncludeHostName=1\r\nHostName=OFFICE-PC\r\n"
              "[Broken]\r\nLongLANDescription=LAN-Verbindung\r\nDHCP=0\r\nIP=10.9.8.700\r\n"
              "Subnet=255.0.0.0\r\nDNS=10.0.0.1\r\n");
  }
  TLanvoyProgram& Make(std::vector<std::string> args) {
    program.reset();
    program = std::make_unique<TLanvoyProgram>(machine, questions, windows, dir.File("Lanvoy.exe"),
                                               std::move(args), err);
    program->ApplyPause = std::chrono::milliseconds(0);
    program->SplashPause = std::chrono::milliseconds(300);
    program->OnMainFormConstructed = [this](TMainForm&) {
      splashWhileCreating = windows.splashVisible;
      createdAfter = Clock::now() - started;
    };
    started = Clock::now();
    return *program;
  }
  void TearDown() override {
    program.reset();
    EXPECT_TRUE(questions.AllAnswered());
  }
  test::RecordingWindow& Window() { return *windows.last; }
  std::string Address() {
    program->MainForm().GetCurrentSettings();
    return Window().Edit("InputIP").text;
  }

  test::TempDir dir;
  // netsh's words as Windows 5's netsh says them.
  test::HostWindows hostWindows{"xp"};
  sim::SimPlatform machine{dir.path() / "host"};
  ScriptedQuestions questions;
  test::RecordingWindows windows;
  std::ostringstream err;
  std::unique_ptr<TLanvoyProgram> program;
  Clock::time_point started;
  Clock::duration createdAfter{};
  bool splashWhileCreating = false;
};

TEST_F(StartupTest, HideInAnyCaseAppliesWithoutWindowsOrQuestionsAndEnds) {
  EXPECT_FALSE(Make({"office", "HiDe"}).Start());
  EXPECT_EQ(program->ExitCode(), kExitApplied);
  EXPECT_EQ(err.str(), "");
  EXPECT_TRUE(questions.Asked().empty());  // no confirmation, no restart question
  EXPECT_EQ(Window().shows, 0);
  EXPECT_TRUE(Window().progress.shown.empty());
  EXPECT_EQ(ReadComputerName(machine.registry()), "OFFICE-PC");
  EXPECT_EQ(Address(), "10.9.8.7");
  // Arguments: the splash is shown, without the pause; the unattended path makes no LAN
  // state window.
  EXPECT_TRUE(program->SplashShown());
  EXPECT_TRUE(splashWhileCreating);
  EXPECT_LT(createdAfter, std::chrono::milliseconds(300));
  EXPECT_FALSE(windows.splashVisible);
  EXPECT_EQ(Window().lanStateMade, 0);
}

// Unattended, every message goes to standard error and the apply goes on: a start-up error
// (Get Current meets a proxy switch that is no number) and the notices wait for nobody.
TEST_F(StartupTest, HideWaitsForNobody) {
  dir.Write("Lanvoy.GUI", "");
  machine.registry()
      .Open(platform::RootKey::CurrentUser, kInternetSettingsKey, true)
      ->SetString("ProxyEnable", "yes");
  EXPECT_FALSE(Make({"Office", "hide"}).Start());
  EXPECT_EQ(program->ExitCode(), kExitApplied);
  EXPECT_TRUE(questions.Asked().empty());
  EXPECT_NE(err.str().find("Invalid data type for 'ProxyEnable'"), std::string::npos) << err.str();
  EXPECT_NE(err.str().find(AdminNoticeMessage()), std::string::npos);
  EXPECT_NE(err.str().find(BrowserRestartMessage()), std::string::npos);
  EXPECT_EQ(ReadComputerName(machine.registry()), "OFFICE-PC");
}

TEST_F(StartupTest, NameAloneShowsWindowAndProgressThenEnds) {
  EXPECT_FALSE(Make({"OFFICE"}).Start());
  EXPECT_TRUE(Window().visible);
  EXPECT_EQ(Window().progress.shown.size(), 1u);
  EXPECT_EQ(Address(), "10.9.8.7");
}

TEST_F(StartupTest, NetshErrorsGiveANonZeroExitCodeAndReachStandardError) {
  EXPECT_FALSE(Make({"broken", "hide", "--force"}).Start());
  EXPECT_EQ(program->ExitCode(), kExitNetshErrors);
  EXPECT_NE(err.str().find("\nInvalid addr parameter (10.9.8.700).\n"), std::string::npos)
      << err.str();
}

TEST_F(StartupTest, AStageThatFailsGivesItsMessageAndExitCode) {
  dir.Write("Lanvoy.INI", "[Office]\r\nIP=1.2.3.4\r\n");
  Make({"Office", "hide"});
  program->OnMainFormConstructed = [](TMainForm& form) {
    form.NetshExe().SetExeName("no-such-netsh");
  };
  EXPECT_FALSE(program->Start());
  EXPECT_EQ(program->ExitCode(), kExitApplyFailed);
  EXPECT_EQ(err.str(), "File was not found\n");
}

// A name not in the store: in the window its message, then the program; unattended ("hide",
// "--help hide") the message on standard error and exit code 1, no window to wait in.
TEST_F(StartupTest, UnknownNameShowsTheMessageOrEndsWhenUnattended) {
  questions.AnswerMessage(mrOk);
  EXPECT_TRUE(Make({"nowhere"}).Start());
  const std::string message = ProfileNotFoundMessage("nowhere");
  ASSERT_EQ(questions.Asked().size(), 1u);
  EXPECT_EQ(questions.Asked()[0], "MessageDlg mtError: " + message + " [OK]");
  EXPECT_EQ(err.str(), message + "\n");
  EXPECT_TRUE(Window().visible);
  EXPECT_EQ(Window().lanStateMade, 1);

  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"nowhere", "hide"}, {"B\xFCro", "HIDE"}}) {
    err.str("");
    EXPECT_FALSE(Make(args).Start());
    EXPECT_EQ(program->ExitCode(), kExitApplyFailed);
    EXPECT_EQ(err.str(), ProfileNotFoundMessage(args[0]) + "\n");
    EXPECT_FALSE(Window().visible);
  }
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--help"}, {"/?", "hide"}}) {
    EXPECT_FALSE(Make(args).Start());
    EXPECT_EQ(program->ExitCode(), kExitApplied);
    EXPECT_NE(err.str().find("Lanvoy --undo N [hide]"), std::string::npos);
  }
  EXPECT_EQ(questions.Asked().size(), 1u);
  EXPECT_EQ(ReadComputerName(machine.registry()), "LANVOY-PC");
}

TEST_F(StartupTest, WithoutArgumentsTheSplashPausesUnlessSwitchedOff) {
  EXPECT_TRUE(Make({}).Start());
  EXPECT_TRUE(splashWhileCreating);
  EXPECT_GE(createdAfter, std::chrono::milliseconds(300));
  EXPECT_FALSE(windows.splashVisible);
  EXPECT_FALSE(program->DebugMode());
  EXPECT_TRUE(program->MainForm().NetshExe().Wait());

  dir.Write("nosplash", "");
  EXPECT_TRUE(Make({}).Start());
  EXPECT_FALSE(program->SplashShown());
  EXPECT_FALSE(splashWhileCreating);
  EXPECT_LT(createdAfter, std::chrono::milliseconds(300));
}

// The start-up notice and the not-found message open only once the splash is gone.
TEST_F(StartupTest, NoBoxOpensUnderTheSplash) {
  dir.Write("Lanvoy.GUI", "");
  for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"nowhere"}}) {
    questions.AnswerBox({});
    if (!args.empty()) questions.AnswerMessage(mrOk);
    questions.OnAsk = [this](const std::string& asked) {
      EXPECT_FALSE(windows.splashVisible) << asked;
    };
    EXPECT_TRUE(Make(args).Start());
    EXPECT_TRUE(program->SplashShown());
    EXPECT_EQ(questions.Asked().size(), args.empty() ? 1u : 3u);
  }
}

TEST_F(StartupTest, DebugMarkerChangesOnlyTheInteractiveProgram) {
  dir.Write("Debug", "");
  EXPECT_TRUE(Make({}).Start());
  EXPECT_TRUE(program->DebugMode());
  EXPECT_EQ(Window().caption, "Lanvoy- Debugmode");
  EXPECT_FALSE(program->MainForm().NetshExe().Wait());
  EXPECT_EQ(program->MainForm().NetshExe().WindowState(), wsNormal);

  // The unattended apply runs before debug mode is decided: netsh is waited for.
  EXPECT_FALSE(Make({"Office", "hide"}).Start());
  EXPECT_FALSE(program->DebugMode());
  EXPECT_NE(Window().caption, "Lanvoy- Debugmode");
  EXPECT_TRUE(program->MainForm().NetshExe().Wait());
  EXPECT_EQ(Address(), "10.9.8.7");

  // A folder of that name is no marker.
  std::filesystem::remove(dir.path() / "Debug");
  std::filesystem::create_directory(dir.path() / "Debug");
  EXPECT_TRUE(Make({}).Start());
  EXPECT_FALSE(program->DebugMode());
}

}  // namespace
}  // namespace lanvoy
