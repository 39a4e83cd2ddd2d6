#include "apply/hosts_lines.h"

#include <gtest/gtest.h>

namespace lanvoy {
namespace {

TEST(HostsLines, LineOfARow) {
  EXPECT_EQ(HostsLineOf({"server1", "10.0.0.5", "office"}), "10.0.0.5   server1   #office");
  EXPECT_EQ(HostsLineOf({"server1", "10.0.0.5", ""}), "10.0.0.5   server1   #");
  EXPECT_EQ(HostsLineOf({"", "10.0.0.5", "r"}), std::nullopt);
  EXPECT_EQ(HostsLineOf({"server1", "", "r"}), std::nullopt);
}

TEST(HostsLines, ParseSplitsAtBlanksAndTabs) {
  const struct {
    const char* line;
    HostRow row;
  } cases[] = {
      {"10.0.0.5   server1   #office", {"server1   ", "10.0.0.5", "office"}},
      {"10.0.0.1 host", {"host", "10.0.0.1", ""}},
      // Tabs separate as blanks do, and leading ones are skipped: hosts files hold both.
      {"127.0.0.1\tlocalhost", {"localhost", "127.0.0.1", ""}},
      {"  10.0.0.7 host", {"host", "10.0.0.7", ""}},
      {"\t10.0.0.8\t \thost8\t#lab", {"host8\t", "10.0.0.8", "lab"}},
      // Only the first "#" separates; the remark keeps the rest unchanged.
      {"1.2.3.4 h #a # b ", {"h ", "1.2.3.4", "a # b "}},
      // "#" after the leading blanks: no address and no host, the rest is the remark.
      {" #note", {"", "", "note"}},
      {"1.2.3.4    ", {"", "1.2.3.4", ""}},
      // Without a separator there is no address.
      {"localhost", {"localhost", "", ""}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseHostsLine(c.line), c.row) << c.line;
}

TEST(HostsLines, WrittenLineParsesBack) {
  HostRow row{"printer", "10.0.0.9", "lab"};
  HostRow back = ParseHostsLine(*HostsLineOf(row));
  EXPECT_EQ(back.IPAddress, row.IPAddress);
  EXPECT_EQ(back.HostName, "printer   ");
  EXPECT_EQ(back.Remark, row.Remark);
}

// A row read from a file, written and read again, stays the row it was: the blanks before
// "#" are not added to the host name once more each time.
TEST(HostsLines, ReadWrittenAndReadAgainGivesTheSameRows) {
  for (const char* line :
       {"10.0.0.5   server1   #office", "1.2.3.4 a b\t#x", "1.2.3.4 h", "1.1.1.1\th \t #"}) {
    const HostRow once = ParseHostsLine(*HostsLineOf(ParseHostsLine(line)));
    EXPECT_EQ(ParseHostsLine(*HostsLineOf(once)), once) << line;
  }
  EXPECT_EQ(HostsLineOf({"server1 \t ", "10.0.0.5", ""}), "10.0.0.5   server1   #");
  EXPECT_EQ(HostsLineOf({" \t", "10.0.0.5", "r"}), std::nullopt);
}

TEST(HostsLines, FillSkipsCommentsAndEmptyLines) {
  EXPECT_EQ(FillHostsGrid({}), std::vector<HostRow>(1));
  EXPECT_EQ(FillHostsGrid({"# only", ""}), std::vector<HostRow>(1));
  auto rows = FillHostsGrid({"# c", "1.1.1.1 a", "", "2.2.2.2 b #x"});
  EXPECT_EQ(rows, (std::vector<HostRow>{{"a", "1.1.1.1", ""}, {"b ", "2.2.2.2", "x"}}));
  // Lines after the last host line leave an empty row at the end.
  rows = FillHostsGrid({"1.1.1.1 a", "# trailing"});
  EXPECT_EQ(rows, (std::vector<HostRow>{{"a", "1.1.1.1", ""}, {}}));
  // A blank before "#" makes it a row, not a comment.
  rows = FillHostsGrid({" #not a comment"});
  EXPECT_EQ(rows, (std::vector<HostRow>{{"", "", "not a comment"}}));
}

}  // namespace
}  // namespace lanvoy
