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

TEST(HostsLines, ParseSplitsAtBlanksOnly) {
  EXPECT_EQ(ParseHostsLine("10.0.0.5   server1   #office"),
            (HostRow{"server1   ", "10.0.0.5", "office"}));
  // A tab is no separator: no blank, so no address.
  EXPECT_EQ(ParseHostsLine("127.0.0.1\tlocalhost"), (HostRow{"127.0.0.1\tlocalhost", "", ""}));
  EXPECT_EQ(ParseHostsLine("10.0.0.1 host"), (HostRow{"host", "10.0.0.1", ""}));
  // Only the first "#" separates; the remark keeps the rest unchanged.
  EXPECT_EQ(ParseHostsLine("1.2.3.4 h #a # b "), (HostRow{"h ", "1.2.3.4", "a # b "}));
  // A leading blank: empty address, then the rest after the blanks.
  EXPECT_EQ(ParseHostsLine(" #note"), (HostRow{"", "", "note"}));
  EXPECT_EQ(ParseHostsLine("1.2.3.4    "), (HostRow{"", "1.2.3.4", ""}));
}

TEST(HostsLines, WrittenLineParsesBack) {
  HostRow row{"printer", "10.0.0.9", "lab"};
  HostRow back = ParseHostsLine(*HostsLineOf(row));
  EXPECT_EQ(back.IPAddress, row.IPAddress);
  EXPECT_EQ(back.HostName, "printer   ");
  EXPECT_EQ(back.Remark, row.Remark);
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
