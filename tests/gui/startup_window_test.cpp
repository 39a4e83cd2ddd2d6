// The program's start on a simulated host: splash, unattended apply, not-found message and
// debug mode.
#include <gtest/gtest.h>

#include <QApplication>
#include <chrono>
#include <sstream>

#include "app/startup.h"
#include "app/ui/program.h"
#include "apply/printer_computer.h"
#include "apply/proxy_settings.h"
#include "apply/ui/form_progress.h"
#include "components/msg_dlg.h"
#include "gui_app.h"
#include "mainwindow/ui/main_form.h"
#include "platform/sim/sim_platform.h"
#include "sysread/ui/form_net_details.h"
#include "test_support/temp_dir.h"

namespace lanvoy {
namespace {

using Clock = std::chrono::steady_clock;

bool SplashVisible() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "FormStartBild" && w->isVisible()) return true;
  return false;
}

class ProgressShows : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show) ++count;
    return false;
  }
  int count = 0;
};

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::GuiApp();
    dir.Write("Lanvoy.GUI", "[Programm]\r\nMsgAdminNeeded=1\r\nMsgRestartBrowser=1\r\n");
    dir.Write("Lanvoy.INI",
              "[Office]\r\nLongLANDescription=LAN-Verbindung\r\nDHCP=0\r\nIP=10.9.8.7\r\n"
              "Subnet=255.0.0.0\r\nDNS=10.0.0.1\r\nIncludeHostName=1\r\nHostName=OFFICE-PC\r\n"
              "[Broken]\r\nLongLANDescription=LAN-Verbindung\r\nDHCP=0\r\nIP=10.9.8.700\r\n"
              "Subnet=255.0.0.0\r\nDNS=10.0.0.1\r\n");
  }
  TLanvoyProgram& Make(std::vector<std::string> args) {
    program = std::make_unique<TLanvoyProgram>(machine, questions, dir.File("Lanvoy.exe"),
                                               std::move(args), err);
    program->ApplyPause = std::chrono::milliseconds(0);
    program->SplashPause = std::chrono::milliseconds(300);
    program->OnMainFormConstructed = [this](TMainForm& form) {
      splashWhileCreating = SplashVisible();
      createdAfter = Clock::now() - started;
      form.FormProgress()->installEventFilter(&progress);
    };
    started = Clock::now();
    return *program;
  }
  void TearDown() override {
    program.reset();
    EXPECT_TRUE(questions.AllAnswered());
  }
  std::string Address() {
    program->MainForm().GetCurrentSettings();
    return program->MainForm().Lan1.IP->text().toStdString();
  }

  test::TempDir dir;
  sim::SimPlatform machine{dir.path() / "host"};
  ScriptedQuestions questions;
  std::ostringstream err;
  std::unique_ptr<TLanvoyProgram> program;
  ProgressShows progress;
  Clock::time_point started;
  Clock::duration createdAfter{};
  bool splashWhileCreating = false;
};

TEST_F(StartupTest, HideInAnyCaseAppliesWithoutWindowsOrQuestionsAndEnds) {
  EXPECT_FALSE(Make({"office", "HiDe"}).Start());
  EXPECT_EQ(program->ExitCode(), kExitApplied);
  EXPECT_EQ(err.str(), "");
  EXPECT_TRUE(questions.Asked().empty());  // no confirmation, no restart question
  EXPECT_FALSE(program->MainForm().isVisible());
  EXPECT_EQ(progress.count, 0);
  EXPECT_EQ(ReadComputerName(machine.registry()), "OFFICE-PC");
  EXPECT_EQ(Address(), "10.9.8.7");
  // Arguments: the splash is shown, without the pause.
  EXPECT_TRUE(program->SplashShown());
  EXPECT_TRUE(splashWhileCreating);
  EXPECT_LT(createdAfter, std::chrono::milliseconds(300));
  EXPECT_FALSE(SplashVisible());
}

// Unattended, every message goes to standard error and the apply goes on: a start-up error
// (Get Current meets a proxy switch that is no number) and the notices waits for nobody.
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
  EXPECT_TRUE(program->MainForm().isVisible());
  EXPECT_EQ(progress.count, 1);
  EXPECT_EQ(Address(), "10.9.8.7");
}

TEST_F(StartupTest, NetshErrorsGiveANonZeroExitCodeAndReachStandardError) {
  EXPECT_FALSE(Make({"broken", "hide"}).Start());
  EXPECT_EQ(program->ExitCode(), kExitNetshErrors);
  EXPECT_EQ(err.str(), "Invalid addr parameter (10.9.8.700).\n");
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

TEST_F(StartupTest, UnknownNameShowsTheMessageAndStartsInteractively) {
  questions.AnswerMessage(mrOk);
  EXPECT_TRUE(Make({"nowhere", "hide"}).Start());
  const std::string message = ProfileNotFoundMessage("nowhere");
  ASSERT_EQ(questions.Asked().size(), 1u);
  EXPECT_EQ(questions.Asked()[0], "MessageDlg mtError: " + message + " [OK]");
  EXPECT_EQ(err.str(), message + "\n");
  EXPECT_TRUE(program->MainForm().isVisible());
  EXPECT_NE(program->MainForm().FormNetDetails(), nullptr);
  EXPECT_EQ(ReadComputerName(machine.registry()), "LANVOY-PC");
}

TEST_F(StartupTest, WithoutArgumentsTheSplashPausesUnlessSwitchedOff) {
  EXPECT_TRUE(Make({}).Start());
  EXPECT_TRUE(splashWhileCreating);
  EXPECT_GE(createdAfter, std::chrono::milliseconds(300));
  EXPECT_FALSE(SplashVisible());
  EXPECT_FALSE(program->DebugMode());
  EXPECT_TRUE(program->MainForm().NetshExe().Wait());

  dir.Write("nosplash", "");
  EXPECT_TRUE(Make({}).Start());
  EXPECT_FALSE(program->SplashShown());
  EXPECT_FALSE(splashWhileCreating);
  EXPECT_LT(createdAfter, std::chrono::milliseconds(300));
}

TEST_F(StartupTest, DebugMarkerChangesOnlyTheInteractiveProgram) {
  dir.Write("Debug", "");
  EXPECT_TRUE(Make({}).Start());
  EXPECT_TRUE(program->DebugMode());
  EXPECT_EQ(program->MainForm().windowTitle(), "Lanvoy- Debugmode");
  EXPECT_FALSE(program->MainForm().NetshExe().Wait());
  EXPECT_EQ(program->MainForm().NetshExe().WindowState(), wsNormal);

  // The unattended apply runs before debug mode is decided: netsh is waited for.
  EXPECT_FALSE(Make({"Office", "hide"}).Start());
  EXPECT_FALSE(program->DebugMode());
  EXPECT_NE(program->MainForm().windowTitle(), "Lanvoy- Debugmode");
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
