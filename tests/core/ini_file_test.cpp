#include "profiles/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

#include "base/files.h"
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
  // Names in the folder besides the file itself (leftover temp files).
  std::vector<std::string> Others() {
    std::vector<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(dir_.path()))
      if (e.path().filename() != "test.ini") names.push_back(e.path().filename().string());
    return names;
  }
};

TEST_F(IniFileTest, ReadsWindowsWrittenFileWithCrLfAndLf) {
  Put("[One]\r\nA=1\r\n\r\n[Two]\nB = two \nc=\n");
  EXPECT_EQ(ini_.ReadString("one", "a", "x"), "1");
  EXPECT_EQ(ini_.ReadString("TWO", "b", "x"), "two");
  EXPECT_EQ(ini_.ReadString("Two", "C", "x"), "");
  EXPECT_EQ(ini_.ReadString("Two", "missing", "def"), "def");
  EXPECT_EQ(ini_.ReadString("Three", "a", "def"), "def");
}

TEST_F(IniFileTest, MissingFileReadsAsEmpty) {
  EXPECT_TRUE(ini_.ReadSections().empty());
  EXPECT_TRUE(ini_.ReadSection("A").empty());
  EXPECT_FALSE(ini_.SectionExists("A"));
  EXPECT_EQ(ini_.ReadInteger("A", "k", 7), 7);
  EXPECT_FALSE(dir_.Exists("test.ini"));
}

TEST_F(IniFileTest, CommentsLinesWithoutEqualsAndBlankKeyNames) {
  Put("[S]\r\n;k=comment\r\n  ;x=also\r\nnoequals\r\n  key name  =  v  \r\n=nokey\r\n");
  EXPECT_EQ(ini_.ReadSection("S"), (std::vector<std::string>{"key name"}));
  EXPECT_EQ(ini_.ReadString("S", ";k", "d"), "d");
  EXPECT_EQ(ini_.ReadString("S", "KEY NAME", "d"), "v");
  EXPECT_EQ(ini_.ReadString("S", "noequals", "d"), "d");
}

TEST_F(IniFileTest, ValueIsTextAfterFirstEquals) {
  Put("[S]\r\na = b = c\r\n");
  EXPECT_EQ(ini_.ReadString("S", "a", ""), "b = c");
}

TEST_F(IniFileTest, QuotePairRemovedOnlyWhenBothEndsMatch) {
  Put("[Q]\r\nsingle=' padded '\r\ndouble=\"x\"\r\nmixed='y\"\r\nempty=''\r\none='\r\n"
      "inner=a'b'\r\ntwice=''x''\r\n");
  EXPECT_EQ(ini_.ReadString("Q", "single", ""), " padded ");
  EXPECT_EQ(ini_.ReadString("Q", "double", ""), "x");
  EXPECT_EQ(ini_.ReadString("Q", "mixed", ""), "'y\"");
  EXPECT_EQ(ini_.ReadString("Q", "empty", "d"), "");
  EXPECT_EQ(ini_.ReadString("Q", "one", ""), "'");
  EXPECT_EQ(ini_.ReadString("Q", "inner", ""), "a'b'");
  EXPECT_EQ(ini_.ReadString("Q", "twice", ""), "'x'");
}

TEST_F(IniFileTest, RepeatedKeyFirstIsReadAndRewritten) {
  Put("[S]\r\nk=first\r\nK=second\r\n");
  EXPECT_EQ(ini_.ReadString("S", "k", ""), "first");
  EXPECT_EQ(ini_.ReadSectionValues("S"), (IniFile::Entries{{"k", "first"}}));
  ini_.WriteString("S", "K", "new");
  EXPECT_EQ(Bytes(), "[S]\r\nk=new\r\nK=second\r\n");
}

TEST_F(IniFileTest, RepeatedSectionFirstIsReadBothListed) {
  Put("[Office]\r\na=1\r\n[OFFICE]\r\na=2\r\nb=3\r\n");
  EXPECT_EQ(ini_.ReadSections(), (std::vector<std::string>{"Office", "OFFICE"}));
  EXPECT_EQ(ini_.ReadString("office", "a", ""), "1");
  EXPECT_EQ(ini_.ReadString("office", "b", "none"), "none");
  EXPECT_EQ(ini_.ReadSection("OFFICE"), (std::vector<std::string>{"a"}));
}

TEST_F(IniFileTest, ReplaceAndEraseTakeRepeatedHeadersAlong) {
  // Left behind, the second header would be read instead of the new section.
  Put("[P]\r\na=1\r\n[Q]\r\nq=1\r\n[p]\r\na=old\r\n");
  ini_.ReplaceSection("P", {{"a", "new"}});
  EXPECT_EQ(ini_.ReadString("P", "a", ""), "new");
  EXPECT_EQ(ini_.ReadSections(), (std::vector<std::string>{"Q", "P"}));
  Put("[P]\r\na=1\r\n[p]\r\na=2\r\n");
  ini_.EraseSection("P");
  EXPECT_TRUE(ini_.ReadSections().empty());
}

// A name without "=" is a key without a value: missing to reads and lists, but it stands
// in front of later lines of the key, a write fills it and a delete takes it first.
TEST_F(IniFileTest, LineWithoutEqualsIsAKeyWithoutValue) {
  Put("[S]\r\n  lone  \r\nk=1\r\nLONE=hidden\r\n[T]\r\nonly\r\n");
  EXPECT_EQ(ini_.ReadString("S", "lone", "def"), "def");
  EXPECT_EQ(ini_.ReadInteger("S", "lone", -4), -4);
  EXPECT_FALSE(ini_.ValueExists("S", "lone"));
  // Listed once, where its first line with a value stands, with the value that is read.
  EXPECT_EQ(ini_.ReadSectionValues("S"), (IniFile::Entries{{"k", "1"}, {"LONE", ""}}));
  EXPECT_TRUE(ini_.ReadSection("T").empty());
  EXPECT_FALSE(ini_.SectionExists("T"));
  EXPECT_EQ(ini_.ReadSections(), (std::vector<std::string>{"S", "T"}));

  ini_.WriteString("S", "Lone", "filled");
  EXPECT_EQ(Bytes(), "[S]\r\nlone=filled\r\nk=1\r\nLONE=hidden\r\n[T]\r\nonly\r\n");
  EXPECT_EQ(ini_.ReadString("S", "lone", "def"), "filled");

  Put("[S]\r\nlone\r\nlone=hidden\r\n");
  ini_.DeleteKey("S", "lone");
  EXPECT_EQ(ini_.ReadString("S", "lone", "def"), "hidden");
}

TEST_F(IniFileTest, DeleteKeyTakesItFromTheFirstRepeatedHeaderThatHoldsIt) {
  Put("[A]\r\nk=1\r\n[B]\r\ng=b\r\n[a]\r\ng=2\r\nk=3\r\n[A]\r\ng=5\r\n");
  ini_.DeleteKey("A", "g");
  EXPECT_EQ(Bytes(), "[A]\r\nk=1\r\n[B]\r\ng=b\r\n[a]\r\nk=3\r\n[A]\r\ng=5\r\n");
  ini_.DeleteKey("A", "k");
  ini_.DeleteKey("A", "k");
  EXPECT_EQ(Bytes(), "[A]\r\n[B]\r\ng=b\r\n[a]\r\n[A]\r\ng=5\r\n");
  ini_.DeleteKey("A", "missing");  // no change, no error
  EXPECT_EQ(ini_.ReadSections(), (std::vector<std::string>{"A", "B", "a", "A"}));
}

TEST_F(IniFileTest, ByteOrderMarkIsSkippedAndKept) {
  Put("\xEF\xBB\xBF[S]\r\nk=v\r\n");
  EXPECT_EQ(ini_.ReadSections(), (std::vector<std::string>{"S"}));
  EXPECT_EQ(ini_.ReadString("S", "k", ""), "v");
  ini_.WriteString("S", "k", "w");
  EXPECT_EQ(Bytes(), "\xEF\xBB\xBF[S]\r\nk=w\r\n");
  ini_.WriteString("T", "x", "1");
  EXPECT_EQ(Bytes(), "\xEF\xBB\xBF[S]\r\nk=w\r\n\r\n[T]\r\nx=1\r\n");
}

TEST_F(IniFileTest, Integers) {
  Put("[N]\r\ndec=42\r\nneg=-7\r\nhex=0x1F\r\nupper=0X10\r\ndollar=$ff\r\nmixed=12abc\r\n"
      "empty=\r\nbare=0x\r\nbig=99999999999\r\nallbits=$FFFFFFFF\r\nquoted='5'\r\nspace= 8 \r\n");
  EXPECT_EQ(ini_.ReadInteger("N", "dec", 0), 42);
  EXPECT_EQ(ini_.ReadInteger("N", "neg", 0), -7);
  EXPECT_EQ(ini_.ReadInteger("N", "hex", 0), 31);
  EXPECT_EQ(ini_.ReadInteger("N", "upper", 0), 16);
  EXPECT_EQ(ini_.ReadInteger("N", "dollar", 0), 255);
  EXPECT_EQ(ini_.ReadInteger("N", "mixed", -1), -1);
  EXPECT_EQ(ini_.ReadInteger("N", "empty", -1), -1);
  EXPECT_EQ(ini_.ReadInteger("N", "bare", -1), -1);
  EXPECT_EQ(ini_.ReadInteger("N", "big", -1), -1);
  EXPECT_EQ(ini_.ReadInteger("N", "allbits", 0), -1);
  EXPECT_EQ(ini_.ReadInteger("N", "quoted", 0), 5);
  EXPECT_EQ(ini_.ReadInteger("N", "space", 0), 8);
  EXPECT_EQ(IniFile::IntegerOf("$10", 0), 16);
  // Blanks before the number are skipped, also inside quotes; after it they are garbage.
  EXPECT_EQ(IniFile::IntegerOf(" 5", 3), 5);
  EXPECT_EQ(IniFile::IntegerOf("\t -0x10", 3), -16);
  EXPECT_EQ(IniFile::IntegerOf("5 ", 3), 3);
  EXPECT_EQ(IniFile::IntegerOf("   ", 3), 3);
  EXPECT_EQ(IniFile::IntegerOf("- 5", 3), 3);
}

TEST_F(IniFileTest, Booleans) {
  Put("[B]\r\nt=1\r\nf=0\r\nother=5\r\nbad=yes\r\n");
  EXPECT_TRUE(ini_.ReadBool("B", "t", false));
  EXPECT_FALSE(ini_.ReadBool("B", "f", true));
  EXPECT_TRUE(ini_.ReadBool("B", "other", false));
  EXPECT_TRUE(ini_.ReadBool("B", "bad", true));
  EXPECT_FALSE(ini_.ReadBool("B", "bad", false));
  EXPECT_TRUE(ini_.ReadBool("B", "missing", true));
  ini_.WriteBool("B", "w", true);
  ini_.WriteInteger("B", "i", -3);
  EXPECT_EQ(ini_.ReadString("B", "w", ""), "1");
  EXPECT_EQ(ini_.ReadString("B", "i", ""), "-3");
}

TEST_F(IniFileTest, WriteReplacesLineOrAppendsToSectionOrFile) {
  ini_.WriteString("A", "x", "1");
  EXPECT_EQ(Bytes(), "[A]\r\nx=1\r\n");
  ini_.WriteString("B", "y", "2");
  ini_.WriteString("a", "z", "3");           // after the section's last line, before the blank one
  ini_.WriteString("A", "X", "  padded  ");  // keeps the file's spelling of the key
  EXPECT_EQ(Bytes(), "[A]\r\nx=  padded  \r\nz=3\r\n\r\n[B]\r\ny=2\r\n");
  EXPECT_EQ(ini_.ReadString("A", "x", ""), "padded");
}

TEST_F(IniFileTest, WriteKeepsForeignLinesAndConvertsLineEnds) {
  Put("; header comment\n[A]\nx=1\n; note\n\n[B]\ny=2");
  ini_.WriteString("A", "new", "v");
  EXPECT_EQ(Bytes(), "; header comment\r\n[A]\r\nx=1\r\n; note\r\nnew=v\r\n\r\n[B]\r\ny=2\r\n");
}

TEST_F(IniFileTest, WriteStringsIsOneChangeWithoutErasing) {
  Put("[A]\r\nkeep=1\r\nb=old\r\n");
  ini_.WriteStrings("A", {{"b", "new"}, {"c", "3"}, {"C", "last"}});
  EXPECT_EQ(Bytes(), "[A]\r\nkeep=1\r\nb=new\r\nc=last\r\n");
}

TEST_F(IniFileTest, ListsKeepEveryNameBeyondWindowsBuffer) {
  IniFile::Entries entries;
  std::vector<std::string> expected;
  for (int i = 0; i < 2000; ++i) {  // well over 16384 bytes of names
    entries.emplace_back("LongKeyName" + std::to_string(i), "v");
    expected.push_back(entries.back().first);
  }
  ini_.ReplaceSection("S", entries);
  for (int i = 0; i < 2000; ++i) ini_.WriteString("Section number " + std::to_string(i), "k", "v");
  EXPECT_EQ(ini_.ReadSection("S"), expected);
  auto sections = ini_.ReadSections();
  ASSERT_EQ(sections.size(), 2001u);
  EXPECT_EQ(sections.back(), "Section number 1999");
}

TEST_F(IniFileTest, LongValuesAreNotCut) {
  const std::string value(5000, 'x');
  ini_.WriteString("S", "k", value);
  EXPECT_EQ(ini_.ReadString("S", "k", ""), value);
}

TEST_F(IniFileTest, RefusesValuesWithLineBreaksAndBadNames) {
  Put("[S]\r\nk=v\r\n");
  const std::string before = Bytes();
  EXPECT_THROW(ini_.WriteString("S", "k", "a\r\nb"), EIniFileError);
  EXPECT_THROW(ini_.WriteString("S", "k", "a\nb"), EIniFileError);
  EXPECT_THROW(ini_.WriteString("S", "k", "a\rb"), EIniFileError);
  EXPECT_THROW(ini_.ReplaceSection("S", {{"ok", "1"}, {"k", "x\ny"}}), EIniFileError);
  for (const char* name : {"", "[x", "x]", "a\nb", "a\rb"}) {
    EXPECT_FALSE(IniFile::IsValidSectionName(name)) << name;
    EXPECT_THROW(ini_.WriteString(name, "k", "v"), EIniFileError) << name;
  }
  for (const char* key : {"", "a=b", " k", "k\n", ";k", "[k"})
    EXPECT_THROW(ini_.WriteString("S", key, "v"), EIniFileError) << key;
  EXPECT_EQ(Bytes(), before);
  EXPECT_TRUE(IniFile::IsValidSectionName(" Office 2 "));
}

TEST_F(IniFileTest, ReplaceSectionMovesItToTheEnd) {
  Put("[A]\r\nold=1\r\n\r\n[B]\r\nb=1\r\n");
  ini_.ReplaceSection("a", {{"x", "1"}, {"y", "2"}});
  EXPECT_EQ(Bytes(), "[B]\r\nb=1\r\n\r\n[a]\r\nx=1\r\ny=2\r\n");
}

TEST_F(IniFileTest, RenameSectionInPlace) {
  Put("[Office]\r\nk=1\r\n\r\n[Home]\r\nh=1\r\n");
  EXPECT_TRUE(ini_.RenameSection("office", "OFFICE"));
  EXPECT_EQ(Bytes(), "[OFFICE]\r\nk=1\r\n\r\n[Home]\r\nh=1\r\n");
  EXPECT_FALSE(ini_.RenameSection("Missing", "X"));
  EXPECT_THROW(ini_.RenameSection("Home", "[bad]"), EIniFileError);
}

TEST_F(IniFileTest, EraseAndDeleteKey) {
  Put("[A]\r\na=1\r\nb=2\r\n\r\n[B]\r\nc=3\r\n");
  ini_.DeleteKey("a", "A");
  EXPECT_EQ(ini_.ReadSection("A"), (std::vector<std::string>{"b"}));
  ini_.EraseSection("b");
  EXPECT_EQ(ini_.ReadSections(), (std::vector<std::string>{"A"}));
  ini_.EraseSection("missing");  // no change, no error
  EXPECT_EQ(Bytes(), "[A]\r\nb=2\r\n\r\n");
}

TEST_F(IniFileTest, SectionWithoutKeysIsListedButDoesNotExist) {
  Put("[Empty]\r\n; only a comment\r\n[Full]\r\nk=\r\n");
  EXPECT_EQ(ini_.ReadSections(), (std::vector<std::string>{"Empty", "Full"}));
  EXPECT_FALSE(ini_.SectionExists("Empty"));
  EXPECT_TRUE(ini_.SectionExists("FULL"));
  EXPECT_TRUE(ini_.ValueExists("Full", "K"));
  EXPECT_FALSE(ini_.ValueExists("Full", "other"));
}

// Reads keep the parsed file; every change of it, by this process or another, is seen at
// the next call.
TEST_F(IniFileTest, KeptParseSeesEveryChangeOfTheFile) {
  namespace fs = std::filesystem;
  // Another program rewrites the file quickly with values of the same length: the times may
  // tick too coarsely to tell the versions apart.
  for (char c = '0'; c <= '9'; ++c) {
    Put(std::string("[A]\r\nk=") + c + "\r\n");
    EXPECT_EQ(ini_.ReadString("A", "k", ""), std::string(1, c));
  }
  // An old file is kept; a change of the same length with a new time is still seen.
  const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(10);
  Put("[A]\r\nk=11\r\n");
  fs::last_write_time(path_, old);
  EXPECT_EQ(ini_.ReadString("A", "k", ""), "11");
  Put("[A]\r\nk=22\r\n");
  fs::last_write_time(path_, old + std::chrono::seconds(1));
  EXPECT_EQ(ini_.ReadString("a", "K", ""), "22");
  // This process: writes of the same length, read through other objects too.
  for (const char* value : {"44", "55", "66"}) {
    IniFile(path_).WriteString("A", "k", value);
    EXPECT_EQ(ini_.ReadString("A", "k", ""), value);
    EXPECT_EQ(ini_.ReadSectionValues("A"), (IniFile::Entries{{"k", value}}));
    fs::last_write_time(path_, old);
  }
  // Gone and back.
  fs::remove(path_);
  EXPECT_FALSE(ini_.SectionExists("A"));
  Put("[B]\r\nx=1\r\n[A]\r\n[B]\r\ny=2\r\n");
  EXPECT_EQ(ini_.ReadSections(), (std::vector<std::string>{"B", "A", "B"}));
  EXPECT_EQ(ini_.ReadSection("b"), (std::vector<std::string>{"x"}));
  EXPECT_FALSE(ini_.SectionExists("A"));
}

TEST_F(IniFileTest, AWriteThatChangesNothingLeavesTheFileAlone) {
  namespace fs = std::filesystem;
  Put("[A]\r\nk=1\r\n[B]\r\nx=2\r\n");
  const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(10);
  fs::last_write_time(path_, old);
  ini_.WriteString("a", "K", "1");
  ini_.WriteStrings("B", {{"x", "2"}});
  ini_.DeleteKey("A", "none");
  ini_.EraseSection("none");
  // Within the file system's resolution of times; a write would give it the present.
  auto age = [&] { return fs::file_time_type::clock::now() - fs::last_write_time(path_); };
  EXPECT_GT(age(), std::chrono::minutes(9));
  ini_.WriteString("A", "k", "2");
  EXPECT_LT(age(), std::chrono::minutes(1));
  EXPECT_EQ(ini_.ReadString("A", "k", ""), "2");
}

// Whatever stops a write, it raises the path's message and leaves the folder as it was:
// no temporary file, every file with its bytes and permissions.
TEST(IniFileWriteFailure, RaisesThePathAndLeavesTheFolderAsItWas) {
  namespace fs = std::filesystem;
  struct Case {
    const char* why;
    std::function<std::string(test::TempDir&)> setUp;  // gives the store's path
  };
  const Case cases[] = {
      {"the parent is a file (also for root)",
       [](test::TempDir& d) {
         d.Write("blocker", "a regular file");
         return d.File("blocker") + "/store.INI";
       }},
      {"a folder stands at the path: the rename fails",
       [](test::TempDir& d) {
         d.Write("store.INI/inside", "x");
         return d.File("store.INI");
       }},
      {"the store is read-only",
       [](test::TempDir& d) {
         d.Write("Lanvoy.INI", "[S]\r\nk=old\r\n");
         fs::permissions(d.File("Lanvoy.INI"), fs::perms::owner_read | fs::perms::group_read);
         return d.File("Lanvoy.INI");
       }},
  };
  auto listing = [](const test::TempDir& d) {
    std::map<std::string, std::pair<std::string, fs::perms>> files;
    for (const auto& e : fs::recursive_directory_iterator(d.path()))
      if (e.is_regular_file())
        files[e.path().string()] = {*ReadFileBytes(e.path().string()), e.status().permissions()};
    return files;
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    const std::string path = c.setUp(dir);
    const auto before = listing(dir);
    IniFile ini(path);
    const std::function<void()> writes[] = {[&] { ini.WriteString("S", "k", "new"); },
                                            [&] {
                                              ini.ReplaceSection("S", {{"k", "new"}});
                                            }};
    for (const auto& write : writes) {
      try {
        write();
        ADD_FAILURE() << c.why << ": no error";
      } catch (const EIniFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + path) << c.why;
      }
    }
    EXPECT_EQ(listing(dir), before) << c.why;
  }
}

TEST_F(IniFileTest, FailedReplaceLeavesOldSectionAndNoTempFile) {
  Put("[S]\r\nk=old\r\n");
  // A directory where the temporary file would go makes the write fail.
  const std::string before = Bytes();
  std::filesystem::permissions(
      dir_.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  bool failed = false;
  try {
    ini_.ReplaceSection("S", {{"k", "new"}});
  } catch (const EIniFileError&) {
    failed = true;
  }
  std::filesystem::permissions(dir_.path(), std::filesystem::perms::owner_all);
  if (!failed) GTEST_SKIP() << "permissions do not stop writes here (root)";
  EXPECT_EQ(Bytes(), before);
  EXPECT_TRUE(Others().empty());
}

TEST_F(IniFileTest, SuccessfulWritesLeaveNoTempFile) {
  ini_.WriteString("S", "k", "v");
  ini_.ReplaceSection("S", {{"k", "w"}});
  ini_.EraseSection("S");
  EXPECT_TRUE(Others().empty());
}

}  // namespace
}  // namespace lanvoy
