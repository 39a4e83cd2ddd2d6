#include "app/startup.h"

#include <gtest/gtest.h>

#include <sstream>

#include "base/command_line.h"
#include "base/placement.h"
#include "mainwindow/questions.h"
#include "test_support/scripted_questions.h"
#include "test_support/temp_dir.h"

namespace lanvoy {
namespace {

TEST(StartupTest, SecondArgumentHideInAnyLetterCase) {
  auto args = ParseStartupArguments(SplitCommandLine("office HiDe"));
  EXPECT_TRUE(args.hasArguments);
  EXPECT_EQ(args.profileName, "office");
  EXPECT_TRUE(args.hide);
  EXPECT_FALSE(ParseStartupArguments({"office", "hidden"}).hide);
  EXPECT_FALSE(ParseStartupArguments({"office"}).hide);
  EXPECT_FALSE(ParseStartupArguments({}).hasArguments);
}

// One parser for every command: what each line asks for, and why a line cannot be run.
TEST(StartupTest, EveryCommandAndEveryWrongLine) {
  const struct {
    std::vector<std::string> args;
    Command command;
    const char* error;  // "" when the line can be run
    bool windowless;
  } cases[] = {
      {{}, Command::Window, "", false},
      {{"Office"}, Command::Window, "", false},
      {{"-style", "hide"}, Command::Window, "", true},  // a profile, not an option
      {{"--", "--odd", "hide"}, Command::Window, "", true},
      {{"--undo", "3", "hide", "--json"}, Command::Undo, "", true},
      {{"--undo"}, Command::Undo, "", false},
      {{"--LIST", "--json"}, Command::List, "", true},
      {{"--export", "A", "B", "--to", "x.INI"}, Command::Export, "", true},
      {{"--import", "x.INI", "--replace"}, Command::Import, "", true},
      {{"--history"}, Command::History, "", true},
      {{"--current"}, Command::Current, "", true},
      {{"/?", "hide"}, Command::Help, "", true},
      {{"--bogus"}, Command::Window, "Unknown option --bogus.", true},
      {{"--check"}, Command::Check, "--check needs a profile name.", true},
      {{"--import", "--replace"}, Command::Import, "--import needs a file name.", true},
      {{"--export"}, Command::Export, "--export needs profile names, or --all.", true},
      {{"--list", "--history"}, Command::List, "give one at a time", true},
      {{"--show", "A", "B"}, Command::Show, "Unexpected argument \"B\".", true},
      {{"--history", "ten"}, Command::History, "Unexpected argument \"ten\".", true},
      {{"A", "--json"}, Command::Window, "--json goes with", true},
      {{"A", "hide", "--replace"}, Command::Window, "--replace belongs to --import.", true},
      {{"A", "hide", "--confirm-within"}, Command::Window, "needs a number of seconds", true},
  };
  for (const auto& c : cases) {
    const StartupArguments a = ParseStartupArguments(c.args);
    const std::string line = JoinCommandLine(c.args);
    EXPECT_EQ(a.command, c.command) << line;
    EXPECT_NE(a.error.find(c.error), std::string::npos) << line << ": " << a.error;
    EXPECT_EQ(a.error.empty(), std::string(c.error).empty()) << line << ": " << a.error;
    EXPECT_EQ(a.Windowless(), c.windowless) << line;
  }
  const StartupArguments undo = ParseStartupArguments({"--undo", "3", "hide"});
  EXPECT_EQ(undo.undoBack, 3u);
  EXPECT_TRUE(undo.hide);
  const StartupArguments odd = ParseStartupArguments({"--", "--odd", "hide"});
  EXPECT_EQ(odd.profileName, "--odd");
  const StartupArguments exp = ParseStartupArguments({"--export", "A", "B", "--to", "x.INI"});
  EXPECT_EQ(exp.names, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(exp.to, "x.INI");
}

TEST(StartupTest, QuotesGroupBlanksIntoOneArgumentAndAreRemoved) {
  auto args =
      SplitCommandLine("\"D:\\program files\\Lanvoy\\Lanvoy.exe\"  \"office 1\" hide extra");
  ASSERT_EQ(args.size(), 4u);
  EXPECT_EQ(args[0], "D:\\program files\\Lanvoy\\Lanvoy.exe");
  EXPECT_EQ(args[1], "office 1");
  auto parsed = ParseStartupArguments({args.begin() + 1, args.end()});
  EXPECT_EQ(parsed.profileName, "office 1");
  EXPECT_TRUE(parsed.hide);
  EXPECT_EQ(SplitCommandLine("a\"b c\"d"), std::vector<std::string>{"ab cd"});
  EXPECT_EQ(SplitCommandLine("\"\""), std::vector<std::string>{""});
}

// What the stand-ins pass on as one command line comes apart into the same arguments.
TEST(StartupTest, JoinedArgumentsSplitBack) {
  const std::vector<std::string> args = {"", "LAN-Verbindung 2", "a\tb", "ä ö ü ß", "x", "\x01"};
  EXPECT_EQ(SplitCommandLine(JoinCommandLine(args)), args);
  EXPECT_EQ(JoinCommandLine({"set", "Drahtlose Netzwerkverbindung", ""}),
            "set \"Drahtlose Netzwerkverbindung\" \"\"");
}

TEST(StartupTest, MarkerIsAFileNotAFolder) {
  test::TempDir dir;
  std::string programDir = dir.path().string() + "/";
  EXPECT_FALSE(MarkerFileExists(programDir, kNoSplashMarker));
  dir.Write("nosplash", "");
  EXPECT_TRUE(MarkerFileExists(programDir, kNoSplashMarker));
  std::filesystem::create_directory(dir.path() / "Debug");
  EXPECT_FALSE(MarkerFileExists(programDir, kDebugMarker));
}

TEST(StartupTest, NotFoundMessageWordForWord) {
  EXPECT_EQ(ProfileNotFoundMessage("offce"),
            "Profile >offce< not found !\r\n"
            "Please refer to following syntax if you want to run Lanvoy with \r\n"
            "parameters :\r\n"
            "\"Filedir + filename\" \"PROFILENAME\" \"HIDE\" . If you use the parameter \r\n"
            "HIDE the progress bar will not appear. \r\n"
            "Starting the program with valid parameters will allways cause the \r\n"
            "termination of it after applying a profile.\r\n"
            "NOTE: If you have spaces in the file path and profile name put the parameters "
            "between \" -chars.\r\n"
            "Example : \"D:\\program files\\Lanvoy\\Lanvoy.exe\" \"office 1\" \"hide\".");
}

// Unattended, nothing waits for a person: each message goes to the stream and gets the
// answer of a box nobody answers; the countdown of a notice runs out at once.
TEST(StartupTest, UnattendedQuestionsWaitForNobody) {
  ScriptedQuestions window;
  std::ostringstream err;
  UnattendedQuestions questions(window, err);
  questions.SetUnattended(true);
  EXPECT_EQ(questions.MessageDlg("Cannot open file x", mtError, {mbOK}), mrOk);
  EXPECT_EQ(questions.MessageDlg("Restart now?", mtConfirmation, {mbYes, mbNo}), mrNo);
  EXPECT_EQ(questions.MessageDlg("Apply?", mtConfirmation, {mbYes, mbCancel}), mrCancel);
  EXPECT_EQ(questions.InputBox("New", "Name", "proposal"), std::nullopt);
  EXPECT_EQ(questions.OpenFileName({}), std::nullopt);
  TMessageDlg notice(questions);
  notice.SetMsg("Caution: restart your browser");
  notice.TimeOut = 20;
  notice.TimeOutResult = trIgnore;
  EXPECT_EQ(notice.Execute(), mrIgnore);
  EXPECT_EQ(err.str(), "Cannot open file x\nRestart now?\nApply?\nCaution: restart your browser\n");
  EXPECT_TRUE(window.Asked().empty());

  // Attended, the window asks.
  questions.SetUnattended(false);
  window.AnswerMessage(mrYes);
  EXPECT_EQ(questions.MessageDlg("Restart now?", mtConfirmation, {mbYes, mbNo}), mrYes);
  EXPECT_EQ(window.Asked().size(), 1u);
}

// Centred over the other window, then kept within the work area; a window too large for it
// begins at its top left corner.
TEST(PlacementTest, CentredOverAndKeptOnTheScreen) {
  const ScreenRect work{0, 0, 1024, 740};
  struct Case {
    ScreenRect over;
    int width, height;
    ScreenRect expected;
  } cases[] = {
      {{100, 100, 540, 440}, 200, 100, {270, 270, 200, 100}},
      {{800, 600, 224, 140}, 561, 430, {463, 310, 561, 430}},  // bottom right corner
      {{-300, -200, 325, 174}, 561, 430, {0, 0, 561, 430}},    // beyond the top left
      {{0, 0, 325, 174}, 1500, 900, {0, 0, 1500, 900}},        // larger than the screen
      {{1100, 100, 325, 174}, 379, 78, {645, 148, 379, 78}},   // off the right edge
  };
  for (const Case& c : cases)
    EXPECT_EQ(CentredOver(c.width, c.height, c.over, work), c.expected)
        << c.over.left << "," << c.over.top;
  // A second screen to the right keeps a window on it.
  EXPECT_EQ(CentredOver(200, 100, {2250, 10, 100, 50}, {1024, 0, 1280, 1024}).left, 2104);
}

}  // namespace
}  // namespace lanvoy
