#include "sysread/lan_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lanvoy {
namespace {

// The view's lines after the pieces, as the window applies the steps.
std::vector<std::string> Feed(LanStateFeed& feed, std::vector<std::string> lines,
                              const std::vector<std::pair<std::string, TOutputType>>& pieces,
                              int tag = kLanStateTag) {
  for (const auto& [piece, type] : pieces) {
    const LanStateFeed::Step step = feed.Accept(tag, piece, type);
    if (step.action == LanStateFeed::Action::Append) lines.push_back(step.text);
    if (step.action == LanStateFeed::Action::ReplaceLast) lines.back() = step.text;
  }
  return lines;
}

TEST(LanStateFeed, ForeignTagsShowNothingBlankLinesShowBlank) {
  LanStateFeed feed;
  EXPECT_EQ(Feed(feed, {}, {{"", CompleteLine}, {"Windows IP Configuration", CompleteLine}}, 0),
            std::vector<std::string>{});
  EXPECT_EQ(Feed(feed, {}, {{"", CompleteLine}, {"a", CompleteLine}, {"", CompleteLine}}),
            (std::vector<std::string>{"", "a", ""}));
}

TEST(LanStateFeed, ABeginningIsReplacedByItsLongerFormsAndTheWholeLine) {
  LanStateFeed feed;
  EXPECT_EQ(Feed(feed, {"head"},
                 {{"IP Add", PartialLine},
                  {"IP Address. . :", PartialLine},
                  {"IP Address. . : 10.0.0.1", CompleteLine},
                  {"Subnet", CompleteLine}}),
            (std::vector<std::string>{"head", "IP Address. . : 10.0.0.1", "Subnet"}));
}

TEST(LanStateFeed, ResetForgetsAPendingBeginningAndLineBreaksAreRemoved) {
  LanStateFeed feed;
  Feed(feed, {}, {{"half", PartialLine}});
  feed.Reset();
  EXPECT_EQ(Feed(feed, {"head"}, {{"new\r\nline", CompleteLine}}),
            (std::vector<std::string>{"head", "newline"}));
  EXPECT_EQ(std::string(kLanStateHead),
            "Reading network details (ipconfig /all). \r\nPlease wait. This may take some "
            "seconds ... \r\n-------------------------------------------\r\n");
}

}  // namespace
}  // namespace lanvoy
