#include "app/options.h"

#include <gtest/gtest.h>

#include "app/help_text.h"
#include "test_support/temp_dir.h"

namespace lanvoy {
namespace {

class OptionsTest : public ::testing::Test {
 protected:
  AfterApplyGroup Load(const std::string& keys) {
    dir.Write("Lanvoy.GUI", "[Programm]\r\n" + keys);
    return LoadAfterApplyGroup(ReadProgramOptions(IniFile(dir.File("Lanvoy.GUI"))));
  }
  test::TempDir dir;
};

TEST_F(OptionsTest, AfterApplyGroupKeepsTheLastTickedKey) {
  EXPECT_EQ(Load("Terminate=1\r\nMinimizeAfterApply=1\r\n"), (AfterApplyGroup{false, true, false}));
  EXPECT_EQ(Load("Terminate=1\r\nMinimizeAfterApply=1\r\nNoActionAfterApply=1\r\n"),
            (AfterApplyGroup{false, false, true}));
  EXPECT_EQ(Load("Terminate=0\r\nMinimizeAfterApply=0\r\nNoActionAfterApply=0\r\n"),
            (AfterApplyGroup{false, false, false}));
  // A missing Terminate key reads as ticked.
  EXPECT_EQ(Load("NoActionAfterApply=0\r\n"), (AfterApplyGroup{true, false, false}));
}

TEST_F(OptionsTest, ClearingABoxChangesNothingElse) {
  AfterApplyGroup g;
  g.Set(AfterApply::Minimize, true);
  g.Set(AfterApply::Minimize, false);
  EXPECT_EQ(g, (AfterApplyGroup{false, false, false}));
}

TEST_F(OptionsTest, MissingFileReadsAsDefaults) {
  ProgramOptions o = ReadProgramOptions(IniFile(dir.File("none.GUI")));
  EXPECT_EQ(o, ProgramOptions{});
  EXPECT_EQ(o.LANName, "Lan-Verbindung");
  EXPECT_TRUE(o.NoValidationMessage);
}

TEST_F(OptionsTest, SaveWritesItsKeysInOrderAndLeavesTheOthers) {
  dir.Write("Lanvoy.GUI", "[Programm]\r\nNoValidationMessage=0\r\nMsgAdminNeeded=1\r\n");
  IniFile ini(dir.File("Lanvoy.GUI"));
  ProgramOptions o;
  o.StartMin = true;
  o.LANName = "Local Area Connection";
  WriteProgramOptions(ini, o);
  EXPECT_EQ(ini.ReadSection("Programm"),
            (std::vector<std::string>{"NoValidationMessage", "MsgAdminNeeded", "StartMin",
                                      "MinimizeAfterApply", "Terminate", "NoActionAfterApply",
                                      "Trayicon", "LANName"}));
  EXPECT_EQ(ini.ReadString("Programm", "StartMin", ""), "1");
  EXPECT_EQ(ini.ReadString("Programm", "NoValidationMessage", ""), "0");
  EXPECT_EQ(ini.ReadString("Programm", "LANName", ""), "Local Area Connection");
}

TEST_F(OptionsTest, StartupMessagesWriteBothFlagsAsTheOpposite) {
  IniFile ini(dir.File("Lanvoy.GUI"));
  WriteStartupMessages(ini, true);
  EXPECT_EQ(ini.ReadString("Programm", "MsgRestartBrowser", ""), "0");
  EXPECT_EQ(ini.ReadString("Programm", "MsgAdminNeeded", ""), "0");
  WriteStartupMessages(ini, false);
  EXPECT_EQ(ini.ReadString("Programm", "MsgRestartBrowser", ""), "1");
  EXPECT_EQ(ini.ReadString("Programm", "MsgAdminNeeded", ""), "1");
}

TEST(OptionsText, AutostartVersionAndHelp) {
  EXPECT_EQ(AutostartData("C:\\Program Files\\Lanvoy\\Lanvoy.exe"),
            "\"C:\\Program Files\\Lanvoy\\Lanvoy.exe\"");
  EXPECT_EQ(VersionText({2, 2, 0, 14}), "2.2.0.14");
  std::vector<std::string> help = HelpTextLines();
  EXPECT_EQ(help.front(), "Customizing Netscape within a profile?");
  EXPECT_EQ(help[11], std::string(127, '-'));
  EXPECT_EQ(help[28], "\"full path of lanvoy\" \"profile name\" \"HIDE\" .");
  EXPECT_EQ(help[help.size() - 4], std::string(127, '-'));
  EXPECT_EQ(help.back(), "");
}

}  // namespace
}  // namespace lanvoy
