#include "base/files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>

#include "base/error.h"
#include "platform/file_system.h"
#include "platform/module.h"
#include "test_support/temp_dir.h"

namespace lanvoy {
namespace {

namespace fs = std::filesystem;

std::set<std::string> Names(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

// What a write finds beside its file: the temporary files of earlier writes that a crash
// left behind go, everything else stays. 4999999 is no process on either system (above
// Linux's highest process id, and not a multiple of 4 as Windows' are).
TEST(WriteFileAtomic, RemovesOnlyStaleTemporaryFilesOfItsOwnFile) {
  test::TempDir dir;
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
  struct Case {
    const char* name;
    bool stale;
    bool aged;  // its time set an hour back
  } cases[] = {
      {"Lanvoy.INI.~4999999-0", true, false},  // its writer is gone
      {"Lanvoy.INI.~4999999-17", true, true},
      {"Lanvoy.INI.~SELF-3", false, false},    // a write of a running process, just begun
      {"Lanvoy.INI.~SELF-4", true, true},      // a running process's, but hours old
      {"Lanvoy.INI.~4999999-", false, false},  // not our pattern
      {"Lanvoy.INI.~-1", false, false},
      {"Lanvoy.INI.~12a-1", false, false},
      {"Lanvoy.INI.~4999999-1.bak", false, true},
      {"Other.INI.~4999999-1", false, true},  // another file's
      {"Lanvoy.INI.new", false, true},
      {"lanvoy.ini.~4999999-2x", false, true},
  };
  const std::string self = std::to_string(platform::CurrentProcessId());
  std::set<std::string> kept = {"Lanvoy.INI"};
  for (const Case& c : cases) {
    std::string name = c.name;
    if (auto at = name.find("SELF"); at != std::string::npos) name.replace(at, 4, self);
    dir.Write(name, "x");
    if (c.aged) fs::last_write_time(dir.path() / name, old);
    if (!c.stale) kept.insert(name);
  }
  ASSERT_TRUE(WriteFileAtomic(dir.File("Lanvoy.INI"), "[S]\r\n"));
  EXPECT_EQ(Names(dir.path()), kept);
  EXPECT_EQ(dir.Read("Lanvoy.INI"), "[S]\r\n");
}

TEST(WriteFileAtomic, WritesThroughALinkAndKeepsTheMode) {
  test::TempDir dir;
  dir.Write("real/Lanvoy.INI", "old");
  std::error_code ec;
  fs::create_symlink(fs::path("real") / "Lanvoy.INI", dir.path() / "Lanvoy.INI", ec);
  if (ec) GTEST_SKIP() << "no symbolic links here";
  const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(dir.path() / "real" / "Lanvoy.INI", mode);
  ASSERT_TRUE(WriteFileAtomic(dir.File("Lanvoy.INI"), "new"));
  EXPECT_TRUE(fs::is_symlink(dir.path() / "Lanvoy.INI"));
  EXPECT_EQ(dir.Read("real/Lanvoy.INI"), "new");
  EXPECT_EQ(fs::status(dir.path() / "real" / "Lanvoy.INI").permissions(), mode);
  EXPECT_EQ(Names(dir.path() / "real"), std::set<std::string>{"Lanvoy.INI"});
}

// A module the program looks for and cannot load is named in the error a user is shown.
TEST(LoadProgramModuleFunction, AMissingModuleIsNamed) {
  try {
    platform::LoadProgramModuleFunction("lanvoy_no_such_module", "Run");
    FAIL() << "loaded a module that does not exist";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("lanvoy_no_such_module"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace lanvoy
