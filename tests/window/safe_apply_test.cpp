// Safe apply on a simulated host with the real stand-ins: the checks before, the snapshot and
// undo, verify after, keep or revert, the history, and the command line's exit codes.
#include <optional>
#include <sstream>
#include <thread>

#include "app/program.h"
#include "apply/printer_computer.h"
#include "apply/safe_apply.h"
#include "base/strings.h"
#include "components/appexec.h"
#include "platform/sim/sim_platform.h"
#include "sysread/dump_parser.h"
#include "test_support/host_windows.h"
#include "test_support/scripted_questions.h"
#include "window_fixture.h"

namespace lanvoy {
namespace {

// Without a gateway given, the profile's is the .1 of its address's network.
std::string Profile(const std::string& name, const std::string& ip, const std::string& extra = "",
                    std::optional<std::string> gateway = std::nullopt) {
  if (!gateway) gateway = ip.substr(0, ip.rfind('.')) + ".1";
  return "[" + name + "]\r\nLongLANDescription=LAN-Verbindung\r\nDHCP=0\r\nIP=" + ip +
         "\r\nSubnet=255.255.255.0\r\nGateway=" + *gateway + "\r\nDNS=10.0.0.53\r\nProxy=proxy." +
         name +
         "\r\nProxyPort=3128\r\nEnableProxy=1\r\n"
         "IncludeHostModification=1\r\nHostsCount=2\r\nH1='127.0.0.1   localhost   #'\r\nH2='" +
         ip + "   server." + name + "   #'\r\nIncludeHostName=1\r\nHostName=" + name + "-PC\r\n" +
         extra;
}

class SafeApplyTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    machine = &sim;
    Store(Profile("A", "10.1.1.5", "", "") + Profile("B", "10.2.2.5"));  // A: no gateway
  }
  void Open() {
    WindowTest::Create();
    Check("CheckboxValidationMessage").SetChecked(false);
  }
  void Apply(const std::string& name) {
    List().Click(name);
    questions.AnswerMessage(mrNo);  // restart now?
    Button("ButtonApply").Click();
  }
  // What an undo must give back: the hosts file's bytes, the registry file, the connection.
  std::string State() {
    return dir.Read("host/WINDOWS/system32/drivers/etc/hosts") + "|" +
           dir.Read("host/registry.reg") + "|" + Connection();
  }
  std::string Connection() {
    TAppExec netsh(sim.processes());
    netsh.SetExeName("netsh");
    netsh.SetExeParams({"-c interface dump"});
    netsh.SetWait(true);
    netsh.SetCaptureOutput(true);
    netsh.Execute();
    for (const TNetworkInfo& c : ParseInterfaceDump(SplitLines(netsh.Output())))
      if (c.LongLANDescription == "LAN-Verbindung") return c.IP + " " + c.Gateway + " " + c.DNS;
    return "none";
  }

  // netsh's words as Windows 5's netsh says them.
  test::HostWindows hostWindows{"xp"};
  sim::SimPlatform sim{dir.path() / "host"};
};

// The undo button beside Apply, the tray's and the list's menus: each asks naming the apply
// it undoes and says it; an undo of an undo undoes the undo. The page "History" lists the
// kept applies and goes back to before any of them.
TEST_F(SafeApplyTest, UndoNamesWhatItUndoesAndTheHistoryGoesBackFurther) {
  Open();
  const std::string beforeA = State();
  EXPECT_FALSE(Enabled("ButtonUndo"));
  Apply("A");
  EXPECT_TRUE(Enabled("ButtonUndo"));
  const std::string afterA = State();
  EXPECT_EQ(Connection(), "10.1.1.5  10.0.0.53");
  EXPECT_EQ(form->TrayIcon().Hint(), "Lanvoy - A - 10.1.1.5");
  Apply("B");
  const std::string afterB = State();
  ASSERT_NE(afterA, afterB);

  // Each way to undo the last apply, asked and said with the apply's name and time; "No"
  // undoes nothing.
  const struct {
    std::function<void()> click;
    int answer;
    const char* what;
    std::string state;
    const char* tooltip;  // the tray's, afterwards
  } undos[] = {
      {[&] { Button("ButtonUndo").Click(); }, mrNo, "the apply of B", afterB,
       "Lanvoy - B - 10.2.2.5"},
      {[&] { Button("ButtonUndo").Click(); }, mrYes, "the apply of B", afterA,
       "Lanvoy - undo of B - 10.1.1.5"},
      {[&] { Item("UndoLastApply1").Click(); }, mrYes, "the undo of B", afterB,
       "Lanvoy - undo of undo of B - 10.2.2.5"},
      {[&] { Item("UndoLastApply2").Click(); }, mrYes, "the undo of undo of B", afterA,
       "Lanvoy - undo of undo of undo of B - 10.1.1.5"},
  };
  for (const auto& u : undos) {
    const std::string named =
        u.what + (" at " + form->Session().Snapshots().Last()->taken.substr(11, 5));
    questions.AnswerMessage(u.answer);
    if (u.answer == mrYes) questions.AnswerMessage(mrOk);
    u.click();
    const std::vector<std::string>& asked = questions.Asked();
    const size_t question = asked.size() - (u.answer == mrYes ? 2 : 1);
    EXPECT_EQ(asked[question], "MessageDlg mtConfirmation: Undo " + named + "? [Yes,No]");
    if (u.answer == mrYes) {
      EXPECT_EQ(asked.back(),
                "MessageDlg mtInformation: The settings before " + named + " are back. [OK]");
    }
    EXPECT_EQ(State(), u.state) << named;
    EXPECT_EQ(form->TrayIcon().Hint(), u.tooltip);
  }

  // The History page: the kept applies, newest first; the oldest chosen, the state before it
  // comes back, and the page shows the file and the history as they are afterwards.
  MemLanState& view = window->lanState;
  std::vector<std::string> listed, after, lines;
  view.whileShown = [&] {
    auto& list = view.Get<MemListBox>("ListSnapshots");
    auto& restore = view.Get<MemButton>("ButtonRestoreBefore");
    listed = list.items;
    EXPECT_FALSE(restore.Enabled());
    list.Click(1);
    questions.AnswerMessage(mrYes);
    questions.AnswerMessage(mrOk);
    restore.Click();
    after = list.items;
    lines = SplitLines(view.Get<MemMemo>("MemoHistory").text);
  };
  const std::vector<Snapshot> kept = form->Session().Snapshots().All();
  ASSERT_EQ(kept.size(), 2u);
  Button("BitBtn1").Click();
  EXPECT_EQ(listed, (std::vector<std::string>{kept[1].taken + "  undo of undo of undo of B",
                                              kept[0].taken + "  A"}));
  const std::string a = "the apply of A at " + kept[0].taken.substr(11, 5);
  const std::vector<std::string>& asked = questions.Asked();
  EXPECT_EQ(asked[asked.size() - 2], "MessageDlg mtConfirmation: Restore the state before " + a +
                                         "?\r\n\r\nThis undoes it and the 1 apply after it. "
                                         "[Yes,No]");
  EXPECT_EQ(asked.back(), "MessageDlg mtInformation: The settings before " + a +
                              " are back. 2 applies were undone. [OK]");
  EXPECT_EQ(State(), beforeA);
  ASSERT_EQ(after.size(), 1u);
  EXPECT_NE(after[0].find("  undo of A and the 1 apply after it"), std::string::npos);
  EXPECT_EQ(lines, form->Session().History().Lines());
  EXPECT_NE(lines.back().find("undo A of " + kept[0].taken + " and the 1 apply after it: restored"),
            std::string::npos);

  // The last ten are kept.
  SnapshotFile file = form->Session().Snapshots();
  for (int i = 0; i < 12; ++i) file.Push(Snapshot{});
  EXPECT_EQ(file.All().size(), kSnapshotsKept);
}

TEST_F(SafeApplyTest, FindingsAreAskedAboutAndVerifySeesWhatNetshRefused) {
  Store(Profile("Bad", "10.3.3.500"));
  Open();
  const std::string before = State();
  questions.AnswerMessage(mrCancel);  // Cancel at the findings
  Button("ButtonApply").Click();
  const std::string asked = questions.Asked().back();
  EXPECT_EQ(asked.rfind("Confirm mtError: The checks of the profile found:", 0), 0u) << asked;
  EXPECT_NE(asked.find("Error: LAN-Verbindung: the IP address \"10.3.3.500\" is not an IPv4"),
            std::string::npos)
      << asked;
  EXPECT_NE(asked.find("[Apply anyway,Cancel]"), std::string::npos);
  EXPECT_EQ(State(), before);

  questions.AnswerMessage(mrYes);  // Apply anyway
  questions.AnswerMessage(mrOk);   // the warning
  questions.AnswerMessage(mrNo);   // no restart for the computer name
  Button("ButtonApply").Click();
  const auto& all = questions.Asked();
  ASSERT_GE(all.size(), 2u);
  const std::string warning = all[all.size() - 2];
  EXPECT_NE(warning.find("Invalid addr parameter (10.3.3.500)."), std::string::npos) << warning;
  EXPECT_NE(warning.find("Not every setting is in place:\r\nLAN-Verbindung: the IP address is "),
            std::string::npos)
      << warning;
  EXPECT_NE(warning.find(", the profile asks for 10.3.3.500"), std::string::npos);
  EXPECT_EQ(window->progress.positions.back(), 5);  // the last step verifies
}

// The keep question comes at once; the browser notice follows only settings that stay.
TEST_F(SafeApplyTest, KeepOrRevertInTheWindow) {
  dir.Write("Lanvoy.GUI", "[Programm]\r\nMsgAdminNeeded=1\r\n");
  Store(Profile("A", "10.1.1.5") +
        Profile("K", "10.4.4.5", "ConfirmKeep=1\r\nConfirmSeconds=2\r\n"));
  Open();
  List().Click("K");
  EXPECT_TRUE(Check("CheckConfirmKeep").checked);
  EXPECT_EQ(Text("InputConfirmSeconds"), "2");
  const std::string before = State();
  auto boxes = [&] {
    std::string seen;
    for (const MsgDlgBoxPlan& plan : questions.Boxes())
      seen += plan.message.substr(0, plan.message.find('\r')) + "|";
    return seen;
  };
  // Answered: kept.
  questions.AnswerBox({mrYes, false, 0});
  questions.AnswerBox({});  // the browser notice
  questions.AnswerMessage(mrNo);
  Button("ButtonApply").Click();
  EXPECT_EQ(boxes(), "Keep these settings?|Caution:|");
  EXPECT_EQ(questions.Boxes().front().timeOut, 2);
  EXPECT_EQ(Connection(), "10.4.4.5 10.4.4.1 10.0.0.53");
  // Not answered: the countdown runs out and the apply is undone, with no browser notice.
  questions.AnswerBox({});
  Apply("A");
  const std::string afterA = State();
  List().Click("K");
  questions.AnswerBox({mrYes, false, 3});
  questions.AnswerMessage(mrOk);  // the settings are back
  questions.AnswerMessage(mrNo);
  Button("ButtonApply").Click();
  EXPECT_EQ(State(), afterA);
  EXPECT_NE(before, afterA);
  EXPECT_EQ(questions.Boxes().size(), 4u) << boxes();
}

// The command line: the exit code tells a script what happened.
class SafeCommandLineTest : public SafeApplyTest {
 protected:
  int Run(std::vector<std::string> args,
          const std::function<void(TMainForm&)>& constructed = nullptr) {
    test::RecordingWindows windows;
    err.str("");
    TLanvoyProgram program(sim, questions, windows, dir.File("Lanvoy.exe"), std::move(args), err);
    program.ApplyPause = std::chrono::milliseconds(0);
    program.OnMainFormConstructed = constructed;
    EXPECT_FALSE(program.Start());
    return program.ExitCode();
  }
  std::ostringstream err;
};

TEST_F(SafeCommandLineTest, ExitCodesOfChecksVerifyUndoAndKeep) {
  dir.Write("nosplash", "");
  // A keep with no apply waiting for it says so.
  EXPECT_EQ(Run({"--keep"}), kExitApplyFailed);
  EXPECT_EQ(err.str(), "No apply is waiting to be kept.\n");
  Store(Profile("A", "10.1.1.5") + Profile("Far", "10.5.5.5", "", "10.6.6.1"));
  const std::string before = State();
  EXPECT_EQ(Run({"far", "hide"}), kExitRefused);
  EXPECT_NE(err.str().find("the gateway 10.6.6.1 lies outside the subnet"), std::string::npos);
  EXPECT_EQ(State(), before);
  EXPECT_EQ(Run({"far", "hide", "--force"}), kExitApplied) << err.str();
  EXPECT_NE(State(), before);
  EXPECT_EQ(Run({"--undo", "hide"}), kExitApplied) << err.str();
  EXPECT_EQ(State(), before);

  // What verify finds that netsh did not complain about.
  EXPECT_EQ(Run({"A", "hide"},
                [](TMainForm& form) {
                  form.OnReadConnections = [] {
                    TNetworkInfoSet table(1);
                    table[0].LongLANDescription = "LAN-Verbindung";
                    table[0].DHCP = true;
                    return table;
                  };
                }),
            kExitNotInPlace);
  EXPECT_NE(err.str().find("LAN-Verbindung: the address comes from DHCP, the profile asks for "
                           "10.1.1.5"),
            std::string::npos)
      << err.str();

  // Not kept in time: undone. Kept by "--keep" from another process, given while the
  // stages run or while the apply waits for it: stays.
  const std::string afterA = State();
  EXPECT_EQ(Run({"far", "hide", "--force", "--confirm-within", "1"}), kExitReverted);
  EXPECT_EQ(State(), afterA);
  auto keep = [&] {
    ScriptedQuestions none;
    test::RecordingWindows windows;
    std::ostringstream quiet;
    TLanvoyProgram(sim, none, windows, dir.File("Lanvoy.exe"), {"--keep"}, quiet).Start();
  };
  EXPECT_EQ(Run({"far", "hide", "--force", "--confirm-within", "5"},
                [&](TMainForm& form) {
                  form.OnReadConnections = [&keep, read = form.OnReadConnections] {
                    keep();
                    return read();
                  };
                }),
            kExitApplied)
      << err.str();
  EXPECT_EQ(Run({"--undo", "hide"}), kExitApplied);
  const std::string history = ApplyHistory::PathFor(dir.File("Lanvoy.INI"));
  const std::size_t applies = ApplyHistory(history).Lines().size();
  std::thread keeper([&] {
    while (ApplyHistory(history).Lines().size() == applies)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    keep();
  });
  EXPECT_EQ(Run({"far", "hide", "--force", "--confirm-within", "5"}), kExitApplied) << err.str();
  keeper.join();
  EXPECT_NE(State(), afterA);
  EXPECT_EQ(Run({"--undo", "hide"}), kExitApplied);
  EXPECT_EQ(Run({"--undo", "hide"}), kExitApplied);  // the undo undone
  EXPECT_NE(State(), afterA);
}

// "--undo N": back to the state before the apply N applies ago; what is not kept changes
// nothing and says so.
TEST_F(SafeCommandLineTest, UndoGoesBackAsManyAppliesAsAsked) {
  dir.Write("nosplash", "");
  Store(Profile("A", "10.1.1.5") + Profile("B", "10.2.2.5") + Profile("C", "10.3.3.5"));
  std::vector<std::string> states{State()};
  for (const char* name : {"a", "b", "c"}) {
    ASSERT_EQ(Run({name, "hide"}), kExitApplied) << err.str();
    states.push_back(State());
  }
  const struct {
    std::vector<std::string> args;
    int exitCode;
    const char* says;
    size_t state;  // before the apply of that many
  } cases[] = {
      {{"--undo", "4", "hide"},
       kExitApplyFailed,
       "Only 3 applies are kept, so there is none 4 back to undo; nothing was changed.\n",
       3},
      {{"--undo", "0", "hide"},
       kExitApplyFailed,
       "--undo 0 undoes nothing: the last apply is 1; nothing was changed.\n",
       3},
      {{"--undo", "2", "hide"}, kExitApplied, "", 1},
      {{"--undo", "hide"}, kExitApplied, "", 3},
      {{"--UNDO", "2", "hide"}, kExitApplied, "", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run(c.args), c.exitCode) << c.args[1];
    EXPECT_EQ(err.str(), c.says) << c.args[1];
    EXPECT_EQ(State(), states[c.state]) << c.args[1];
  }
}

}  // namespace
}  // namespace lanvoy
