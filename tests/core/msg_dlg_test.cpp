#include "components/msg_dlg.h"

#include <gtest/gtest.h>

#include "base/strings.h"
#include "mainwindow/questions.h"
#include "profiles/ini_file.h"
#include "test_support/fake_platform.h"
#include "test_support/scripted_questions.h"
#include "test_support/temp_dir.h"

namespace lanvoy {
namespace {

class MsgDlgTest : public ::testing::Test {
 protected:
  std::string Ini() const { return dir.File("Lanvoy.GUI"); }
  void BindAdmin() {
    SetupDialogAdmin(dlg);
    dlg.IniFile = Ini();
  }
  std::string Key(const std::string& key) {
    return IniFile(Ini()).ReadString("Programm", key, "<missing>");
  }

  test::TempDir dir;
  ScriptedQuestions questions;
  TMessageDlg dlg{questions};
};

TEST_F(MsgDlgTest, FirstRunCountsDownAndClosesWithTheTimeOutResult) {
  BindAdmin();
  questions.AnswerBox({mrOk, true, 30});
  EXPECT_EQ(dlg.Execute(), mrCancel);
  ASSERT_EQ(questions.Boxes().size(), 1u);
  const MsgDlgBoxPlan& plan = questions.Boxes()[0];
  EXPECT_EQ(plan.caption, "Information");
  EXPECT_TRUE(plan.checkBox);
  EXPECT_EQ(plan.checkBoxCaption, "&Don't show this message again.");
  EXPECT_TRUE(plan.showCountdown);
  // The label starts at 30 and shows every second down to 0.
  ASSERT_EQ(questions.CountdownTexts().size(), 31u);
  EXPECT_EQ(questions.CountdownTexts().front(), "30");
  EXPECT_EQ(questions.CountdownTexts()[1], "29");
  EXPECT_EQ(questions.CountdownTexts().back(), "0");
  EXPECT_EQ(Key("MsgAdminNeeded"), "1");
  EXPECT_EQ(Key("MsgDlgValue"), "2");
}

TEST_F(MsgDlgTest, ButtonBeforeTheTimeOutWinsAndUntickedFlagShowsAgain) {
  BindAdmin();
  questions.AnswerBox({mrOk, false, 5});
  EXPECT_EQ(dlg.Execute(), mrOk);
  EXPECT_EQ(Key("MsgAdminNeeded"), "0");
  EXPECT_EQ(Key("MsgDlgValue"), "1");
  questions.AnswerBox({mrOk, false, 0});
  dlg.Execute();
  EXPECT_EQ(questions.Boxes().size(), 2u);
}

TEST_F(MsgDlgTest, SilencedDialogReturnsTheRememberedResultWithoutShowing) {
  BindAdmin();
  IniFile ini(Ini());
  ini.WriteString("Programm", "MsgAdminNeeded", "1");
  ini.WriteString("Programm", "MsgDlgValue", "7");
  EXPECT_EQ(dlg.Execute(), 7);
  EXPECT_TRUE(questions.Boxes().empty());
}

TEST_F(MsgDlgTest, ReservedItemNameIsRefusedInAnyCase) {
  dlg.SetIniItem("MsgAdminNeeded");
  try {
    dlg.SetIniItem("msgdlgvalue");
    FAIL() << "reserved name accepted";
  } catch (const EMsgDlgError& e) {
    EXPECT_STREQ(e.what(),
                 "MsgDlgValue is reserved for internal use by this component.\nPlease select "
                 "another name for the IniItem property.");
  }
  EXPECT_EQ(dlg.IniItem(), "MsgAdminNeeded");
}

TEST_F(MsgDlgTest, MissingIniNamesFailInOrderUnlessBlankIsAllowed) {
  dlg.SetCheckBox(true);
  auto message = [this] {
    try {
      dlg.Execute();
    } catch (const EMsgDlgError& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(message(), "IniFile property not specified");
  dlg.IniFile = Ini();
  EXPECT_EQ(message(), "IniSection property not specified");
  dlg.IniSection = "Programm";
  EXPECT_EQ(message(), "IniItem property not specified");
  EXPECT_TRUE(questions.Boxes().empty());

  // Allowed blank: shown at every Execute and nothing stored.
  dlg.AllowBlankINI = true;
  questions.AnswerBox({mrOk, true, 0});
  questions.AnswerBox({mrOk, true, 0});
  dlg.Execute();
  dlg.Execute();
  EXPECT_EQ(questions.Boxes().size(), 2u);
  EXPECT_FALSE(dir.Exists("Lanvoy.GUI"));
}

TEST_F(MsgDlgTest, ButtonRowKeepsTheTableOrderWithItsDefaultAndCancelButtons) {
  MsgDlgButtonRow row = MsgDlgButtonsOf({mbCancel, mbNo, mbYes, mbHelp});
  ASSERT_EQ(row.buttons.size(), 4u);
  EXPECT_STREQ(row.buttons[0].name, "Yes");
  EXPECT_STREQ(row.buttons[1].name, "No");
  EXPECT_STREQ(row.buttons[2].name, "Cancel");
  EXPECT_STREQ(row.buttons[3].name, "Help");
  EXPECT_EQ(row.defaultIndex, 0);  // no OK: Yes
  EXPECT_EQ(row.cancelIndex, 2);   // Cancel
  EXPECT_EQ(row.buttons[3].result, mrNone);

  // Only OK: Escape gives OK's result.
  row = MsgDlgButtonsOf({mbOK});
  EXPECT_EQ(row.defaultIndex, 0);
  EXPECT_EQ(row.cancelIndex, 0);
  EXPECT_EQ(row.buttons[0].result, mrOk);

  row = MsgDlgButtonsOf({mbRetry, mbAbort});
  EXPECT_STREQ(row.buttons[row.defaultIndex].name, "Retry");
  EXPECT_EQ(row.cancelIndex, -1);
  EXPECT_STREQ(MsgDlgButtonsOf({mbNoToAll}).buttons[0].caption, "N&o to All");
}

TEST_F(MsgDlgTest, NoTimeOutMeansNoCountdownAndNoSelfClosing) {
  dlg.ShowCountdown = true;
  dlg.SetMsg("plain");
  questions.AnswerBox({mrOk, false, 100});
  EXPECT_EQ(dlg.Execute(), mrOk);
  EXPECT_FALSE(questions.Boxes()[0].showCountdown);
  EXPECT_TRUE(questions.CountdownTexts().empty());
  EXPECT_EQ(questions.Boxes()[0].caption, "Warning");
}

TEST_F(MsgDlgTest, PropertyRules) {
  dlg.SetCheckBox(true);
  dlg.SetModeless(true);
  EXPECT_FALSE(dlg.CheckBox());
  dlg.SetCheckBox(true);
  EXPECT_FALSE(dlg.CheckBox());
  dlg.SetCheckBoxCaption("x");
  dlg.SetCheckBoxCaption("");
  EXPECT_EQ(dlg.CheckBoxCaption(), "&Don't show this message again.");
  dlg.SetVersion("9.9");
  EXPECT_EQ(dlg.Version(), "1.3");
  dlg.DlgType = mtCustom;
  dlg.SetModeless(false);
  questions.AnswerBox({mrOk, false, 0});
  dlg.Execute();
  EXPECT_EQ(questions.Boxes()[0].caption, "Lanvoy");
}

TEST_F(MsgDlgTest, BrowserRestartDialogRefusesBlankNamesAndHasItsText) {
  SetupDialogBrowserRestart(dlg);
  EXPECT_EQ(dlg.TimeOut, 20);
  EXPECT_FALSE(dlg.AllowBlankINI);
  EXPECT_THROW(dlg.Execute(), EMsgDlgError);  // IniFile is bound only at start
  EXPECT_EQ(dlg.Msg(),
            "Caution:\r\n\r\nIf you have your internet browser or E-mail programm running \r\nyou "
            "need to restart it in order to load the new proxy and/or server\r\nsettings!");
}

TEST_F(MsgDlgTest, RegistryKeepsTheFlagUnderTheNamedKey) {
  test::FakePlatform machine;
  SetupDialogAdmin(dlg);
  dlg.UseRegistry = true;
  dlg.Registry = &machine.registry();
  dlg.IniFile = "\\Software\\Lanvoy";
  questions.AnswerBox({mrOk, true, 0});
  EXPECT_EQ(dlg.Execute(), mrOk);
  auto* key = machine.Key("Software\\Lanvoy\\Programm");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ((*key)["MSGADMINNEEDED"].text, "1");
  EXPECT_EQ((*key)["MSGDLGVALUE"].text, "1");
  EXPECT_EQ(dlg.Execute(), mrOk);  // silenced: the remembered result, nothing shown
  EXPECT_EQ(questions.Boxes().size(), 1u);
  EXPECT_FALSE(dir.Exists("Lanvoy.GUI"));
}

TEST(AdminNotice, LinesAsTheNoticeGivesThem) {
  std::string text = AdminNoticeMessage();
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  std::vector<std::string> lines = SplitLines(text);
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[0], "Please note:");
  EXPECT_EQ(lines[4], "2.) You need to be logged in as an administrator, ");
  EXPECT_EQ(lines[5], "     to edit the TCP/IP - settings of this system.");
  EXPECT_EQ(lines[8], "     You are using Lanvoy at your own risk. The author can not be");
  EXPECT_EQ(lines[12], "May 2002");
}

// The box in dialog units of a font whose 52 letters are 312 pixels wide (6 per letter) and
// 16 high: units of 1.5 and 2 pixels. The widest caption widens all buttons; the check box
// adds 26 pixels above them and sits 12 from the left.
TEST(MsgDlgBoxGeometry, DialogUnitsOfTheBoxFont) {
  MsgDlgBoxPlan plan;
  plan.type = mtInformation;
  plan.row = MsgDlgButtonsOf({mbYes, mbNo});
  MsgDlgMetrics m{312, 16, {20, 90}, 200, 48, 150, 16};
  MsgDlgGeometry g = MsgDlgBoxGeometry(plan, m);
  // Margins 12 and 16, spacing 15 and 20; buttons 98 x 28, 6 apart.
  EXPECT_EQ(g.image, (MsgDlgRect{12, 16, 32, 32}));
  EXPECT_EQ(g.message, (MsgDlgRect{59, 16, 200, 48}));
  EXPECT_EQ(g.clientWidth, 271);
  EXPECT_EQ(g.clientHeight, 48 + 28 + 20 + 32);
  EXPECT_EQ(g.buttons, (std::vector<MsgDlgRect>{{34, 84, 98, 28}, {138, 84, 98, 28}}));
  EXPECT_EQ(g.checkBox, MsgDlgRect{});

  plan.checkBox = true;
  plan.type = mtCustom;  // no icon: the text alone, at least the button row wide
  plan.gaugeMaxValue = 5;
  g = MsgDlgBoxGeometry(plan, m);
  EXPECT_EQ(g.image, MsgDlgRect{});
  EXPECT_EQ(g.clientWidth, 226);
  EXPECT_EQ(g.checkBox, (MsgDlgRect{12, 110 - 26, 160, 26}));
  EXPECT_EQ(g.buttons[0].top, 110);
  EXPECT_EQ(g.gauge, (MsgDlgRect{0, 154 - 12, 226, 12}));
  EXPECT_EQ(g.countdownRight, 216);
}

}  // namespace
}  // namespace lanvoy
