#include "profiles/ini_file.h"

#include <gtest/gtest.h>

#include "test_support/temp_dir.h"

namespace lanvoy {
namespace {

class IniFileTest : public ::testing::Test {
 protected:
  test::TempDir dir_;
  std::string path_ = dir_.File("test.ini");
  IniFile ini_{path_};
  void Put(const std::string& bytes) { dir_.Write("test.ini", bytes); }
  std::string Bytes() { return dir_.Read("test.ini"); }
};

TEST_F(IniFileTest, ReadsWindowsWrittenFileWithCrLfAndLf) {
  Put("[One]\r\nA=1\r\n\r\n[Two]\nB = two \nc=\n");
  EXPECT_EQ(ini_.ReadString("one", "a", "x"), "1");
  EXPECT_EQ(ini_.ReadString("TWO", "b", "x"), "two");
  EXPECT_EQ(ini_.ReadString("Two", "C", "x"), "");
  EXPECT_EQ(ini_.ReadString("Two", "missing", "def"), "def");
  EXPECT_EQ(ini_.ReadString("Three", "a", "def"), "def");
}

}  // namespace
}  // namespace lanvoy
