#include "app/startup.h"

#include <gtest/gtest.h>

#include "base/command_line.h"
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

}  // namespace
}  // namespace lanvoy
