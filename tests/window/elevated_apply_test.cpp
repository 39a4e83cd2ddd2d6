// Apply from a window without an administrator's rights: the program runs a copy of itself
// with them for the one profile and tells its exit code; a refused permission changes
// nothing and nothing follows (no terminate, no minimize).
#include "profiles/profile_store.h"
#include "test_support/fake_platform.h"
#include "window/window_fixture.h"

namespace lanvoy::test {
namespace {

class ElevatedApplyTest : public WindowTest {};

TEST_F(ElevatedApplyTest, CopyWithRightsAppliesTheShownProfileAndItsExitCodeIsTold) {
  struct Case {
    platform::Shell::ElevatedRun run;
    const char* told;
    bool closes;  // "Terminate" after applying follows an apply that ran
  };
  const Case cases[] = {
      {{true, false, 0, 0},
       "MessageDlg mtInformation: The profile \"Office 2\" was applied as "
       "administrator. [OK]",
       true},
      {{true, false, 0, 2},
       "MessageDlg mtWarning: The profile \"Office 2\" was applied as "
       "administrator, but netsh did not accept all network settings or the "
       "hosts file could not be written (exit code 2). [OK]",
       true},
      {{true, false, 0, 4},
       "MessageDlg mtError: The checks of the profile \"Office 2\" found "
       "errors: nothing was changed (exit code 4). Mend the profile, or "
       "apply it anyway from the command line with --force. [OK]",
       false},
      {{false, true, 1223, 0},
       "MessageDlg mtError: Windows did not give the administrator's "
       "permission. The profile \"Office 2\" was not applied; nothing "
       "was changed. [OK]",
       false},
  };
  for (const Case& c : cases) {
    Store("[Office 2]\r\nDHCP=1\r\nLongLANDescription=LAN-Verbindung 2\r\n");
    fake.elevated = false;
    fake.elevatedRun = c.run;
    fake.elevatedRuns.clear();
    fake.started.clear();
    fake.handedOver.clear();
    Create();
    List().Click("Office 2");
    // What another process of the user writes to the store meanwhile is not applied: the
    // profile goes over as the window shows it, its name not on the command line.
    Store(
        "[Office 2]\r\nDHCP=0\r\nIP=6.6.6.6\r\nIncludeSript=1\r\nScriptLinesCount=1\r\n"
        "S1=evil\r\n");
    questions.AnswerMessage(mrYes);  // "Apply profile ... to your system?"
    questions.AnswerMessage(mrOk);
    Button("ButtonApply").Click();
    ASSERT_EQ(fake.elevatedRuns.size(), 1u);
    EXPECT_EQ(fake.elevatedRuns[0].file, dir.File("Lanvoy.exe"));
    EXPECT_EQ(fake.elevatedRuns[0].parameters, "hide");
    EXPECT_EQ(fake.handedOver[0], TProfileStore::SectionText("Office 2", form->ShownRecord()));
    EXPECT_NE(fake.handedOver[0].find("DHCP=1\r\n"), std::string::npos);
    EXPECT_EQ(fake.handedOver[0].find("6.6.6.6"), std::string::npos);
    EXPECT_TRUE(fake.NetshRuns().empty()) << "this process applied nothing itself";
    EXPECT_EQ(questions.Asked().back(), c.told);
    EXPECT_EQ(window->closed, c.closes) << c.told;
  }
}

TEST_F(ElevatedApplyTest, ProcessWithRightsAppliesItselfAndStartsNoCopy) {
  Store("[Office]\r\nDHCP=1\r\nLongLANDescription=LAN-Verbindung\r\n");
  Create();
  List().Click("Office");
  questions.SetDefaultMessageAnswer(mrYes);
  Button("ButtonApply").Click();
  EXPECT_TRUE(fake.elevatedRuns.empty());
  EXPECT_EQ(fake.NetshRuns().size(), 1u);
}

}  // namespace
}  // namespace lanvoy::test
