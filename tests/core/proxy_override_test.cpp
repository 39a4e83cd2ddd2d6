#include <gtest/gtest.h>

#include "apply/proxy_settings.h"

namespace lanvoy {
namespace {

TEST(ProxyOverrideTest, JoinsLinesDroppingEmptyOnes) {
  EXPECT_EQ(BuildProxyOverride({"10.*", "", "intranet"}, false), "10.*;intranet");
  EXPECT_EQ(BuildProxyOverride({"10.*", "", "intranet"}, true), "10.*;intranet;<local>");
  EXPECT_EQ(BuildProxyOverride({"10.*", "", "", "", "intranet", ""}, false), "10.*;intranet");
}

TEST(ProxyOverrideTest, LocalAloneOrNothing) {
  EXPECT_EQ(BuildProxyOverride({}, true), "<local>");
  EXPECT_EQ(BuildProxyOverride({}, false), "");
  EXPECT_EQ(BuildProxyOverride({"", "", ""}, false), "");
  EXPECT_EQ(BuildProxyOverride({"", "", ""}, true), "<local>");
}

TEST(ProxyOverrideTest, LeadingEmptyLineSurvivesAsLeadingSemicolon) {
  EXPECT_EQ(BuildProxyOverride({"", "10.*"}, false), ";10.*");
  EXPECT_EQ(BuildProxyOverride({"", "10.*"}, true), ";10.*;<local>");
}

}  // namespace
}  // namespace lanvoy
