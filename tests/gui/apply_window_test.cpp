// Applying from the window to a simulated host with the real stand-ins, and Get Current
// filling the window from it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>

#include "apply/printer_computer.h"
#include "apply/proxy_settings.h"
#include "apply/ui/form_progress.h"
#include "components/appexec.h"
#include "gui_app.h"
#include "mainwindow/ui/main_form.h"
#include "platform/sim/host.h"
#include "platform/sim/sim_platform.h"
#include "test_support/temp_dir.h"

namespace lanvoy {
namespace {

// What the progress window showed: one entry per time it became visible or was hidden.
class ShowRecorder : public QObject {
 public:
  explicit ShowRecorder(TFormProgress* window) : window_(window) {
    window->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show)
      shown.push_back(window_->LabelProgress->text().toStdString());
    if (event->type() == QEvent::Hide) ++hidden;
    return false;
  }
  std::vector<std::string> shown;
  int hidden = 0;

 private:
  TFormProgress* window_;
};

const char* kOffice =
    "[Office]\r\nLongLANDescription=LAN-Verbindung\r\nDHCP=0\r\nIP=10.20.30.40\r\n"
    "Subnet=255.255.255.0\r\nGateway=10.20.30.1\r\nDNS=10.20.30.2\r\nDNS2=10.20.30.3\r\n"
    "Proxy=cache.office\r\nProxyPort=3128\r\nEnableProxy=1\r\n";

class ApplyWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::GuiApp();
    dir.Write("Lanvoy.GUI", "[Programm]\r\nMsgAdminNeeded=1\r\nMsgRestartBrowser=1\r\n");
  }
  void TearDown() override {
    form.reset();
    EXPECT_TRUE(questions.AllAnswered());
  }
  TMainForm& Create(const std::string& store) {
    dir.Write("Lanvoy.INI", store);
    form = std::make_unique<TMainForm>(machine, questions, dir.File("Lanvoy.exe"),
                                       std::vector<std::string>{});
    form->ApplyPause = std::chrono::milliseconds(0);
    form->FormCreate();
    form->CheckboxValidationMessage->setChecked(false);  // asked only where a test says so
    return *form;
  }
  std::string Dump() {
    TAppExec netsh(machine.processes());
    netsh.SetExeName("netsh");
    netsh.SetExeParams({"-c interface dump"});
    netsh.SetWait(true);
    netsh.SetCaptureOutput(true);
    netsh.Execute();
    return netsh.Output();
  }
  std::string HostFile(const std::string& name) { return dir.Read("host/" + name); }
  std::string Events() { return HostFile(sim::kEventLogFile); }

  test::TempDir dir;
  sim::SimPlatform machine{dir.path() / "host"};
  ScriptedQuestions questions;
  std::unique_ptr<TMainForm> form;
};

TEST_F(ApplyWindowTest, CancelInTheConfirmationLeavesTheHostUntouched) {
  Create(kOffice);
  form->CheckboxValidationMessage->setChecked(true);
  const std::string network = HostFile("network.ini");
  const std::string registry = HostFile("registry.reg");
  questions.AnswerMessage(mrCancel);
  form->ButtonApply->click();
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtConfirmation: Apply profile \"Office\" to your system? [Yes,Cancel]");
  EXPECT_EQ(HostFile("network.ini"), network);
  EXPECT_EQ(HostFile("registry.reg"), registry);
  EXPECT_FALSE(dir.Exists("tmp.txt"));
}

TEST_F(ApplyWindowTest, ApplyButtonRunsTheStagesWithTheProgressWindowAndTheClosingNotice) {
  dir.Write("Lanvoy.GUI", "[Programm]\r\nMsgAdminNeeded=1\r\n");
  Create(kOffice);
  form->CheckboxValidationMessage->setChecked(true);
  ShowRecorder progress(form->FormProgress());
  questions.AnswerMessage(mrYes);
  questions.AnswerBox({mrOk, false, 0});
  form->ButtonApply->click();

  const std::string dump = Dump();
  EXPECT_NE(dump.find("set address name=\"LAN-Verbindung\" source=static addr=10.20.30.40 "
                      "mask=255.255.255.0"),
            std::string::npos)
      << dump;
  EXPECT_NE(dump.find("add dns name=\"LAN-Verbindung\" addr=10.20.30.3"), std::string::npos);
  const ProxySettings proxy = ReadProxySettings(machine.registry());
  EXPECT_EQ(proxy.Server, "cache.office");
  EXPECT_EQ(proxy.Port, "3128");
  EXPECT_TRUE(proxy.Enable);

  // Shown once and kept in front through the stages, then hidden; the cursor is back.
  ASSERT_EQ(progress.shown.size(), 1u);
  EXPECT_EQ(progress.shown[0], "Applying network settings");
  EXPECT_FALSE(form->FormProgress()->isVisible());
  EXPECT_EQ(form->FormProgress()->ProgressBar1->minimum(), 1);
  EXPECT_EQ(form->FormProgress()->ProgressBar1->maximum(), 5);
  EXPECT_EQ(form->FormProgress()->ProgressBar1->value(), 5);
  EXPECT_EQ(form->FormProgress()->LabelProgress->text(), "Processing computer name");
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  ASSERT_EQ(questions.Boxes().size(), 1u);
  EXPECT_EQ(questions.Boxes()[0].message.substr(0, 8), "Caution:");
  EXPECT_FALSE(dir.Exists("tmp.txt"));
  // No computer name in the profile: no restart question.
  EXPECT_EQ(questions.Asked().size(), 2u);
}

TEST_F(ApplyWindowTest, TheMailProgramsWarningReplacesTheBrowserNotice) {
  dir.Write("host/windows.txt", "Outlook Express Browser Class\r\n");
  Create(kOffice);
  questions.AnswerMessage(mrOk);
  form->ButtonApply->click();
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtWarning: Your Internet settings have been modified as well. \r\nYou "
            "need to restart Outlook Express to accept the new settings. [OK]");
}

TEST_F(ApplyWindowTest, RestartQuestionFollowsAProfileWithAComputerName) {
  Create(std::string(kOffice) + "IncludeHostName=1\r\nHostName=OFFICE-PC\r\n");
  questions.AnswerMessage(mrNo);
  form->ButtonApply->click();
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtConfirmation: Some settings in your profile require a restart of the "
            "computer.\r\nRestart now? [Yes,No]");
  EXPECT_EQ(ReadComputerName(machine.registry()), "OFFICE-PC");
  EXPECT_EQ(Events().find("ExitWindowsEx"), std::string::npos);

  questions.AnswerMessage(mrYes);
  form->ButtonApply->click();
  EXPECT_NE(Events().find("ExitWindowsEx EWX_REBOOT"), std::string::npos);
}

TEST_F(ApplyWindowTest, AfterApplyMinimizeOrTerminate) {
  Create(kOffice);
  form->ExpandWindow();
  form->CheckMinimizeAfterApply->setChecked(true);
  form->ButtonApply->click();
  EXPECT_EQ(form->size(), QSize(325, 174));
  EXPECT_TRUE(form->TimerMinimize->isActive());
  EXPECT_TRUE(form->isVisible());

  form->CheckTerminate->setChecked(true);
  EXPECT_FALSE(form->CheckMinimizeAfterApply->isChecked());
  int closed = 0;
  QObject::connect(form.get(), &TMainForm::Closed, [&] { ++closed; });
  form->ButtonApply->click();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(closed, 1);
}

TEST_F(ApplyWindowTest, NetshThatCannotStartStopsTheSequenceAndKeepsTheScript) {
  Create(std::string(kOffice) + "IncludeHostName=1\r\nHostName=OFFICE-PC\r\n");
  form->CheckTerminate->setChecked(true);
  form->NetshExe().SetExeName("no-such-netsh");
  const std::string registry = HostFile("registry.reg");
  questions.AnswerMessage(mrOk);
  form->ButtonApply->click();
  EXPECT_EQ(questions.Asked().back(), "MessageDlg mtError: File was not found [OK]");
  // Nothing after the first stage ran: no proxy, no name, no restart question, no close.
  EXPECT_EQ(HostFile("registry.reg"), registry);
  EXPECT_TRUE(dir.Exists("tmp.txt"));
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(form->FormProgress()->isVisible());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  // The next apply overwrites it and removes it.
  form->NetshExe().SetExeName("netsh");
  form->CheckTerminate->setChecked(false);
  form->CheckNoAction->setChecked(true);
  questions.AnswerMessage(mrNo);
  form->ButtonApply->click();
  EXPECT_FALSE(dir.Exists("tmp.txt"));
}

TEST_F(ApplyWindowTest, ALockedHostsFileDoesNotStopTheLaterStages) {
  Create(std::string(kOffice) +
         "IncludeHostModification=1\r\nHostsCount=1\r\nH1='10.0.0.7   printer   #lab'\r\n"
         "IncludeDefPrint=1\r\nDefPrinter=Canon iP4200\r\nIncludeHostName=1\r\n"
         "HostName=FIELD-PC\r\n");
  const auto hosts = dir.path() / "host/WINDOWS/system32/drivers/etc/hosts";
  std::filesystem::remove(hosts);
  std::filesystem::create_directory(hosts);  // cannot be opened as a file
  questions.AnswerMessage(mrNo);
  form->ButtonApply->click();
  EXPECT_TRUE(std::filesystem::is_directory(hosts));
  EXPECT_EQ(CurrentDefaultPrinter(machine.printers()), "Canon iP4200");
  EXPECT_EQ(ReadComputerName(machine.registry()), "FIELD-PC");
}

TEST_F(ApplyWindowTest, NetshComplaintsAreShownAfterTheStages) {
  Create(
      "[Bad]\r\nLongLANDescription=LAN-Verbindung\r\nDHCP=0\r\nIP=10.20.30.400\r\n"
      "Subnet=255.255.255.0\r\n");
  questions.AnswerMessage(mrOk);
  form->ButtonApply->click();
  const std::string warning = questions.Asked().back();
  EXPECT_EQ(warning.rfind("MessageDlg mtWarning: netsh did not accept", 0), 0u) << warning;
  EXPECT_NE(warning.find("Invalid addr parameter (10.20.30.400)."), std::string::npos) << warning;
  // The later stages ran all the same.
  EXPECT_FALSE(dir.Exists("tmp.txt"));
}

// ---------------------------------------------------------------- Get Current

std::string Connection(const std::string& name, const std::string& address) {
  return "[" + name + "]\r\nMode=static\r\nAddress1=" + address +
         "\r\nMask1=255.255.255.0\r\nGateway=\r\nDnsSource=static\r\nDns1=10.0.0.53\r\n"
         "WinsSource=dhcp\r\n";
}

TEST_F(ApplyWindowTest, GetCurrentWithNoOneAndThreeConnections) {
  dir.Write("host/network.ini", "");
  Create("[p]\r\nIP=1.2.3.4\r\nIPLan2=5.6.7.8\r\n");
  form->ButtonModifyClick();
  form->ButtonGetcurrent->click();
  EXPECT_EQ(form->Lan1.IP->text(), "");
  EXPECT_EQ(form->Lan2.IP->text(), "");
  EXPECT_EQ(form->Lan1.Name->count(), 0);
  EXPECT_EQ(form->Lan2.Name->count(), 0);
  EXPECT_FALSE(dir.Exists("tmp.txt"));
  EXPECT_FALSE(dir.Exists("tmp.bat"));

  dir.Write("host/network.ini", Connection("Office LAN", "10.0.0.10"));
  form->ButtonGetcurrent->click();
  EXPECT_EQ(form->Lan1.Name->currentText(), "Office LAN");
  EXPECT_EQ(form->Lan1.IP->text(), "10.0.0.10");
  EXPECT_EQ(form->Lan1.DNS->text(), "10.0.0.53");
  EXPECT_TRUE(form->Lan1.WinsFromDhcp->isChecked());
  EXPECT_EQ(form->Lan2.Name->currentText(), "");
  EXPECT_EQ(form->Lan2.IP->text(), "");

  dir.Write("host/network.ini", Connection("A", "10.0.0.1") + Connection("B", "10.0.0.2") +
                                    Connection("C", "10.0.0.3"));
  form->ButtonGetcurrent->click();
  EXPECT_EQ(form->Lan1.IP->text(), "10.0.0.1");
  EXPECT_EQ(form->Lan2.IP->text(), "10.0.0.2");
  for (QComboBox* names : {form->Lan1.Name, form->Lan2.Name}) {
    ASSERT_EQ(names->count(), 3);
    EXPECT_EQ(names->itemText(2), "C");
  }

  // The third connection chosen for connection 2; connection 1's name is refused there.
  form->EditLongLanDescriptionLan2Click(2);
  EXPECT_EQ(form->Lan2.IP->text(), "10.0.0.3");
  form->Lan2.Name->setCurrentIndex(0);
  questions.AnswerMessage(mrOk);
  form->EditLongLanDescriptionLan2Click(0);
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtError: This Connection is in use allready by connection 1! [OK]");
  EXPECT_EQ(form->Lan2.Name->currentText(), "");
  EXPECT_EQ(form->Lan2.IP->text(), "10.0.0.3");
}

}  // namespace
}  // namespace lanvoy
