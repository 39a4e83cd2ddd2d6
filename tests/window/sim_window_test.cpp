// The window on a simulated host with the real stand-ins: applying from it, Get Current
// filling it, the LAN state view, and the registry, printers and shell of a real backend.
#include "app/options.h"
#include "apply/printer_computer.h"
#include "apply/proxy_settings.h"
#include "components/appexec.h"
#include "platform/sim/host.h"
#include "platform/sim/sim_platform.h"
#include "test_support/host_windows.h"
#include "window_fixture.h"

namespace lanvoy {
namespace {

const char* kOffice =
    "[Office]\r\nLongLANDescription=LAN-Verbindung\r\nDHCP=0\r\nIP=10.20.30.40\r\n"
    "Subnet=255.255.255.0\r\nGateway=10.20.30.1\r\nDNS=10.20.30.2\r\nDNS2=10.20.30.3\r\n"
    "Proxy=cache.office\r\nProxyPort=3128\r\nEnableProxy=1\r\n";

class SimWindowTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    machine = &sim;
  }
  TMainForm& Create(const std::string& store) {
    Store(store);
    WindowTest::Create();
    Check("CheckboxValidationMessage").SetChecked(false);  // asked only where a test says so
    return *form;
  }
  std::string Dump() {
    TAppExec netsh(sim.processes());
    netsh.SetExeName("netsh");
    netsh.SetExeParams({"-c interface dump"});
    netsh.SetWait(true);
    netsh.SetCaptureOutput(true);
    netsh.Execute();
    return netsh.Output();
  }
  std::string HostFile(const std::string& name) { return dir.Read("host/" + name); }
  std::string Events() { return HostFile(sim::kEventLogFile); }

  // netsh's words as Windows 5's netsh says them.
  test::HostWindows hostWindows{"xp"};
  sim::SimPlatform sim{dir.path() / "host"};
};

TEST_F(SimWindowTest, CancelInTheConfirmationLeavesTheHostUntouched) {
  Create(kOffice);
  Check("CheckboxValidationMessage").SetChecked(true);
  const std::string network = HostFile("network.ini");
  const std::string registry = HostFile("registry.reg");
  questions.AnswerMessage(mrCancel);
  Button("ButtonApply").Click();
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtConfirmation: Apply profile \"Office\" to your system? [Yes,Cancel]");
  EXPECT_EQ(HostFile("network.ini"), network);
  EXPECT_EQ(HostFile("registry.reg"), registry);
  EXPECT_FALSE(dir.Exists("tmp.txt"));
}

TEST_F(SimWindowTest, ApplyButtonRunsTheStagesWithTheProgressWindowAndTheClosingNotice) {
  dir.Write("Lanvoy.GUI", "[Programm]\r\nMsgAdminNeeded=1\r\n");
  Create(kOffice);
  Check("CheckboxValidationMessage").SetChecked(true);
  questions.AnswerMessage(mrYes);
  questions.AnswerBox({mrOk, false, 0});
  Item("ApplytoSystem1").Click();

  const std::string dump = Dump();
  EXPECT_NE(dump.find("set address name=\"LAN-Verbindung\" source=static addr=10.20.30.40 "
                      "mask=255.255.255.0"),
            std::string::npos)
      << dump;
  EXPECT_NE(dump.find("add dns name=\"LAN-Verbindung\" addr=10.20.30.3"), std::string::npos);
  const ProxySettings proxy = ReadProxySettings(sim.registry());
  EXPECT_EQ(proxy.Server, "cache.office");
  EXPECT_EQ(proxy.Port, "3128");
  EXPECT_TRUE(proxy.Enable);

  // Shown once and kept in front through the stages, then hidden; the cursor is back.
  const MemProgress& progress = window->progress;
  EXPECT_EQ(progress.shown, std::vector<std::string>{"Applying network settings"});
  EXPECT_FALSE(progress.visible);
  EXPECT_EQ(progress.range, (std::pair{1, 5}));
  // The last step verifies what the stages did.
  EXPECT_EQ(progress.positions, (std::vector<int>{1, 2, 3, 4, 5, 5}));
  EXPECT_EQ(window->busyTimes, 1);
  EXPECT_FALSE(window->busy);
  ASSERT_EQ(questions.Boxes().size(), 1u);
  EXPECT_EQ(questions.Boxes()[0].message.substr(0, 8), "Caution:");
  EXPECT_FALSE(dir.Exists("tmp.txt"));
  // No computer name in the profile: no restart question.
  EXPECT_EQ(questions.Asked().size(), 2u);
}

TEST_F(SimWindowTest, TheMailProgramsWarningReplacesTheBrowserNotice) {
  dir.Write("host/windows.txt", "Outlook Express Browser Class\r\n");
  Create(kOffice);
  questions.AnswerMessage(mrOk);
  Button("ButtonApply").Click();
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtWarning: Your Internet settings have been modified as well. \r\nYou "
            "need to restart Outlook Express to accept the new settings. [OK]");
}

TEST_F(SimWindowTest, RestartQuestionFollowsAProfileWithAComputerName) {
  Create(std::string(kOffice) + "IncludeHostName=1\r\nHostName=OFFICE-PC\r\n");
  questions.AnswerMessage(mrNo);
  Button("ButtonApply").Click();
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtConfirmation: Some settings in your profile require a restart of the "
            "computer.\r\nRestart now? [Yes,No]");
  EXPECT_EQ(ReadComputerName(sim.registry()), "OFFICE-PC");
  EXPECT_EQ(Events().find("ExitWindowsEx"), std::string::npos);

  questions.AnswerMessage(mrYes);
  List().DblClick();
  EXPECT_NE(Events().find("ExitWindowsEx EWX_REBOOT"), std::string::npos);
  // The reboot button asks first.
  questions.AnswerMessage(mrCancel);
  Button("BitBtn2").Click();
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtWarning: This reboots your system! [OK,Cancel] default Cancel");
}

TEST_F(SimWindowTest, AfterApplyMinimizeOrTerminate) {
  Create(kOffice);
  form->ExpandWindow();
  Check("CheckMinimizeAfterApply").SetChecked(true);
  Check("CheckTray").SetChecked(false);  // to the taskbar
  Button("ButtonApply").Click();
  EXPECT_EQ(window->size, (std::pair{325, 174}));
  EXPECT_TRUE(TimerOf("TimerMinimize").enabled);
  EXPECT_TRUE(window->visible);

  Check("CheckTerminate").SetChecked(true);
  EXPECT_FALSE(Check("CheckMinimizeAfterApply").checked);
  Button("ButtonApply").Click();
  EXPECT_TRUE(window->closed);
}

TEST_F(SimWindowTest, NetshThatCannotStartStopsTheSequenceAndLeavesNoScript) {
  Create(std::string(kOffice) + "IncludeHostName=1\r\nHostName=OFFICE-PC\r\n");
  Check("CheckTerminate").SetChecked(true);
  form->NetshExe().SetExeName("no-such-netsh");
  const std::string registry = HostFile("registry.reg");
  questions.AnswerMessage(mrOk);
  Button("ButtonApply").Click();
  EXPECT_EQ(questions.Asked().back(), "MessageDlg mtError: File was not found [OK]");
  // Nothing after the first stage ran: no proxy, no name, no restart question, no close.
  EXPECT_EQ(HostFile("registry.reg"), registry);
  EXPECT_FALSE(dir.Exists("tmp.txt"));
  EXPECT_FALSE(window->closed);
  EXPECT_FALSE(window->progress.visible);
  EXPECT_FALSE(window->busy);

  form->NetshExe().SetExeName("netsh");
  Check("CheckNoAction").SetChecked(true);
  questions.AnswerMessage(mrNo);
  Button("ButtonApply").Click();
  EXPECT_FALSE(dir.Exists("tmp.txt"));
}

TEST_F(SimWindowTest, ALockedHostsFileDoesNotStopTheLaterStages) {
  Create(std::string(kOffice) +
         "IncludeHostModification=1\r\nHostsCount=1\r\nH1='10.0.0.7   printer   #lab'\r\n"
         "IncludeDefPrint=1\r\nDefPrinter=Canon iP4200\r\nIncludeHostName=1\r\n"
         "HostName=FIELD-PC\r\n");
  const auto hosts = dir.path() / "host/WINDOWS/system32/drivers/etc/hosts";
  std::filesystem::remove(hosts);
  std::filesystem::create_directory(hosts);  // cannot be opened as a file
  questions.AnswerMessage(mrYes);            // apply anyway, though the check sees it
  questions.AnswerMessage(mrOk);             // the hosts file is not in place
  questions.AnswerMessage(mrNo);             // no restart
  Button("ButtonApply").Click();
  EXPECT_TRUE(std::filesystem::is_directory(hosts));
  EXPECT_EQ(CurrentDefaultPrinter(sim.printers()), "Canon iP4200");
  EXPECT_EQ(ReadComputerName(sim.registry()), "FIELD-PC");
}

TEST_F(SimWindowTest, NetshComplaintsAreShownAfterTheStages) {
  Create(
      "[Bad]\r\nLongLANDescription=LAN-Verbindung\r\nDHCP=0\r\nIP=10.20.30.400\r\n"
      "Subnet=255.255.255.0\r\n");
  questions.AnswerMessage(mrYes);  // apply anyway, past the check's finding
  questions.AnswerMessage(mrOk);
  Button("ButtonApply").Click();
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

TEST_F(SimWindowTest, GetCurrentWithNoOneAndThreeConnections) {
  dir.Write("host/network.ini", "");
  Create("[p]\r\nIP=1.2.3.4\r\nIPLan2=5.6.7.8\r\n");
  Button("ButtonModify").Click();
  Button("ButtonGetcurrent").Click();
  EXPECT_EQ(Text("InputIP"), "");
  EXPECT_EQ(Text("InputIPLan2"), "");
  EXPECT_EQ(Combo("EditLongLanDescription").Count(), 0);
  EXPECT_EQ(Combo("EditLongLanDescriptionLan2").Count(), 0);
  EXPECT_FALSE(dir.Exists("tmp.txt"));
  EXPECT_FALSE(dir.Exists("tmp.bat"));

  dir.Write("host/network.ini", Connection("Office LAN", "10.0.0.10"));
  Button("ButtonGetcurrent").Click();
  EXPECT_EQ(Combo("EditLongLanDescription").text, "Office LAN");
  EXPECT_EQ(Text("InputIP"), "10.0.0.10");
  EXPECT_EQ(Text("InputDNS"), "10.0.0.53");
  EXPECT_TRUE(Check("CheckWINSDHCP").checked);
  EXPECT_EQ(Combo("EditLongLanDescriptionLan2").text, "");
  EXPECT_EQ(Text("InputIPLan2"), "");

  dir.Write("host/network.ini", Connection("A", "10.0.0.1") + Connection("B", "10.0.0.2") +
                                    Connection("C", "10.0.0.3"));
  Button("ButtonGetcurrent").Click();
  EXPECT_EQ(Text("InputIP"), "10.0.0.1");
  EXPECT_EQ(Text("InputIPLan2"), "10.0.0.2");
  for (const char* names : {"EditLongLanDescription", "EditLongLanDescriptionLan2"})
    EXPECT_EQ(Combo(names).items, (std::vector<std::string>{"A", "B", "C"}));

  // The third connection chosen for connection 2; connection 1's name is refused there.
  Combo("EditLongLanDescriptionLan2").Choose(2);
  EXPECT_EQ(Text("InputIPLan2"), "10.0.0.3");
  questions.AnswerMessage(mrOk);
  Combo("EditLongLanDescriptionLan2").Choose(0);
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtError: This Connection is in use allready by connection 1! [OK]");
  EXPECT_EQ(Combo("EditLongLanDescriptionLan2").text, "");
  EXPECT_EQ(Text("InputIPLan2"), "10.0.0.3");
}

TEST_F(SimWindowTest, PrintersAutostartAndHostsFile) {
  dir.Write("Lanvoy.GUI", "[Programm]\r\nMsgAdminNeeded=1\r\n");
  Create("[p]\r\nIncludeHostModification=1\r\n");
  EXPECT_EQ(Combo("ComboPrinters").items, sim.printers().Installed());
  Check("CheckAutostart").Click();
  auto key = sim.registry().Open(platform::RootKey::CurrentUser, kRunKey, false);
  ASSERT_NE(key, nullptr);
  auto value = key->Query("Lanvoy");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->text, "\"" + dir.File("Lanvoy.exe") + "\"");

  Button("ButtonModify").Click();
  Button("ButtonOpenHostFile").Click();
  Button("ButtonCancel").Click();
  form.reset();
  EXPECT_NE(Events().find("notepad.exe"), std::string::npos);
  EXPECT_NE(dir.Read("Lanvoy.GUI").find("Terminate=1"), std::string::npos);
}

// ---------------------------------------------------------------- LAN state view

const std::vector<std::string> kHead = {"Reading network details (ipconfig /all). ",
                                        "Please wait. This may take some seconds ... ",
                                        "-------------------------------------------"};

TEST_F(SimWindowTest, LanStateShowsTheReportBelowTheHeadWithItsBlankLines) {
  Create("[p]\r\n");
  form->CreateNetDetailsForm();
  MemLanState& view = window->lanState;
  // The capture's lines arrive while the window is shown.
  view.whileShown = [&] {
    window->dispatcher.PumpUntil([&] { return !form->DosCommand().Running(); });
  };
  Button("BitBtn1").Click();
  EXPECT_EQ(window->lanStateMade, 1);
  EXPECT_EQ(form->DosCommand().Tag(), 1);
  ASSERT_GT(view.lines.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(view.lines.begin(), view.lines.begin() + 3), kHead);
  EXPECT_EQ(std::vector<std::string>(view.lines.begin() + 3, view.lines.begin() + 6),
            (std::vector<std::string>{"", "Windows IP Configuration", ""}));
  std::string report;
  for (const std::string& line : view.lines) report += line + "\n";
  EXPECT_NE(report.find("IP Address. . . . . . . . . . . . : 192.168.1.10\n"), std::string::npos);

  // A second showing holds only the second report; one closed early starts a fresh one.
  const std::vector<std::string> first = view.lines;
  Button("BitBtn1").Click();
  EXPECT_EQ(view.lines, first);
  view.whileShown = nullptr;
  Button("BitBtn1").Click();
  view.whileShown = [&] {
    window->dispatcher.PumpUntil([&] { return !form->DosCommand().Running(); });
  };
  Button("BitBtn1").Click();
  EXPECT_EQ(view.lines, first);
  EXPECT_EQ(window->lanStateMade, 1);
}

}  // namespace
}  // namespace lanvoy
