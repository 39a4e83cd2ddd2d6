#include "sysread/dump_parser.h"

#include <gtest/gtest.h>

#include "base/strings.h"
#include "test_support/real_netsh_dumps.h"

namespace lanvoy {
namespace {

// What a Windows XP machine with a static LAN and a DHCP WLAN prints.
const std::vector<std::string> kTwoConnections = {
    "#========================",
    "# Interface configuration",
    "#========================",
    "pushd interface",
    "",
    "reset all",
    "",
    "popd",
    "# End of interface configuration",
    "",
    "# ----------------------------------",
    "# Interface IP Configuration",
    "# ----------------------------------",
    "pushd interface ip",
    "",
    "# Interface IP Configuration for \"Lan-Verbindung\"",
    "",
    "set address name=\"Lan-Verbindung\" source=static addr=192.168.1.10 mask=255.255.255.0",
    "set address name=\"Lan-Verbindung\" gateway=192.168.1.1 gwmetric=0",
    "set dns name=\"Lan-Verbindung\" source=static addr=192.168.1.1",
    "add dns name=\"Lan-Verbindung\" addr=192.168.1.2",
    "set wins name=\"Lan-Verbindung\" source=static addr=none",
    "",
    "# Interface IP Configuration for \"WLAN\"",
    "",
    "set address name=\"WLAN\" source=dhcp",
    "set dns name=\"WLAN\" source=dhcp register=PRIMARY",
    "set wins name=\"WLAN\" source=dhcp",
    "",
    "popd",
    "# End of interface IP configuration",
};

TEST(DumpParserTest, ReadsStaticAndDhcpConnectionsOfARealDump) {
  TNetworkInfoSet table = ParseInterfaceDump(kTwoConnections);
  ASSERT_EQ(table.size(), 2u);
  const TNetworkInfo& lan = table[0];
  EXPECT_EQ(lan.LongLANDescription, "Lan-Verbindung");
  EXPECT_FALSE(lan.DHCP);
  EXPECT_EQ(lan.IP, "192.168.1.10");
  EXPECT_EQ(lan.Subnet, "255.255.255.0");
  EXPECT_EQ(lan.Gateway, "192.168.1.1");
  EXPECT_EQ(lan.DNS, "192.168.1.1");
  EXPECT_EQ(lan.DNS2, "192.168.1.2");
  EXPECT_FALSE(lan.DHCP_DNS);
  EXPECT_EQ(lan.WINS, "NONE");  // values come from the upper-cased line
  EXPECT_FALSE(lan.DHCP_WINS);

  const TNetworkInfo& wlan = table[1];
  EXPECT_EQ(wlan.LongLANDescription, "WLAN");
  EXPECT_TRUE(wlan.DHCP);
  EXPECT_TRUE(wlan.DHCP_DNS);
  EXPECT_TRUE(wlan.DHCP_WINS);
  EXPECT_EQ(wlan.IP, "");
  EXPECT_EQ(wlan.DNS, "");
}

TEST(DumpParserTest, KeepsConnectionsInOrderOfFirstAppearanceAndNamesCaseSensitive) {
  TNetworkInfoSet table = ParseInterfaceDump({
      "set address name=\"LAN\" source=dhcp",
      "set address name=\"lan\" source=static addr=10.0.0.2 mask=255.0.0.0",
      "set address name=\"Third one\" source=dhcp",
      "set dns name=\"LAN\" source=static addr=10.0.0.53",
  });
  ASSERT_EQ(table.size(), 3u);
  EXPECT_EQ(table[0].LongLANDescription, "LAN");
  EXPECT_EQ(table[1].LongLANDescription, "lan");
  EXPECT_EQ(table[2].LongLANDescription, "Third one");  // inner blanks kept in the name
  EXPECT_TRUE(table[0].DHCP);
  EXPECT_EQ(table[0].DNS, "10.0.0.53");  // the later set-line filled the first entry
  EXPECT_EQ(table[1].IP, "10.0.0.2");
}

// An entry as one readable text, for comparisons whose failures show what differs.
std::string Shown(const TNetworkInfo& e) {
  return e.LongLANDescription + (e.DHCP ? " dhcp" : " static") + " ip=" + e.IP + "/" + e.Subnet +
         " ip2=" + e.IP2 + "/" + e.Subnet2 + " gw=" + e.Gateway + " dns=" + e.DNS + "," + e.DNS2 +
         (e.DHCP_DNS ? " (dhcp)" : "") + " wins=" + e.WINS + (e.DHCP_WINS ? " (dhcp)" : "");
}

TEST(DumpParserTest, NamesHoldingTheDumpsKeywordsReadBackUnchanged) {
  const char* names[] = {"Static LAN",        "Address Net",      "Mask LAN",
                         "DHCP Link",         "DNS WINS Gateway", "addr=1.2.3.4 mask=x",
                         "Register GWMetric", "LAN-Verbindung 2", "Drahtlose Netzwerkverbindung",
                         "Netzwerkbr\374cke"};
  for (const std::string name : names) {
    SCOPED_TRACE(name);
    const std::string n = "name=\"" + name + "\"";
    TNetworkInfoSet table = ParseInterfaceDump({
        "set address " + n + " source=static addr=10.1.2.3 mask=255.255.0.0",
        "add address " + n + " addr=10.1.2.4 mask=255.255.255.0",
        "set address " + n + " gateway=10.1.2.1 gwmetric=1",
        "set dns " + n + " source=static addr=10.1.2.53 register=PRIMARY",
        "add dns " + n + " addr=10.1.2.54",
        "set wins " + n + " source=static addr=10.1.2.55",
    });
    ASSERT_EQ(table.size(), 1u);
    TNetworkInfo expected;
    expected.LongLANDescription = name;
    expected.IP = "10.1.2.3";
    expected.Subnet = "255.255.0.0";
    expected.IP2 = "10.1.2.4";
    expected.Subnet2 = "255.255.255.0";
    expected.Gateway = "10.1.2.1";
    expected.DNS = "10.1.2.53";
    expected.DNS2 = "10.1.2.54";
    expected.WINS = "10.1.2.55";
    EXPECT_EQ(Shown(table[0]), Shown(expected));

    table = ParseInterfaceDump({
        "set address " + n + " source=dhcp",
        "set dns " + n + " source=dhcp register=PRIMARY",
        "set wins " + n + " source=dhcp",
    });
    ASSERT_EQ(table.size(), 1u);
    expected = TNetworkInfo{};
    expected.LongLANDescription = name;
    expected.DHCP = expected.DHCP_DNS = expected.DHCP_WINS = true;
    EXPECT_EQ(Shown(table[0]), Shown(expected));
  }
}

TEST(DumpParserTest, SkipsEveryLineHoldingAHash) {
  TNetworkInfoSet table = ParseInterfaceDump({
      "set address name=\"Lab #2\" source=static addr=10.0.0.9 mask=255.0.0.0",
      "set address name=\"Office\" source=dhcp # trailing remark",
  });
  EXPECT_TRUE(table.empty());
}

TEST(DumpParserTest, DhcpAddressWithStaticDnsKeepsDhcpAndBothServers) {
  TNetworkInfoSet table = ParseInterfaceDump({
      "set address name=\"WLAN\" source=dhcp",
      "set dns name=\"WLAN\" source=static addr=8.8.8.8 register=PRIMARY",
      "add dns name=\"WLAN\" addr=8.8.4.4",
  });
  ASSERT_EQ(table.size(), 1u);
  EXPECT_TRUE(table[0].DHCP);
  EXPECT_FALSE(table[0].DHCP_DNS);
  EXPECT_EQ(table[0].DNS, "8.8.8.8");
  EXPECT_EQ(table[0].DNS2, "8.8.4.4");
}

TEST(DumpParserTest, IndexOfASecondDnsServerIsNoPartOfItsAddress) {
  TNetworkInfoSet table = ParseInterfaceDump({
      "set dns name=\"LAN\" source=static addr=10.0.0.1 register=PRIMARY",
      "add dns name=\"LAN\" addr=10.0.0.2 index=2",
  });
  ASSERT_EQ(table.size(), 1u);
  EXPECT_EQ(table[0].DNS2, "10.0.0.2");
}

TEST(DumpParserTest, AddLineForASecondAddressMakesTheModeStatic) {
  TNetworkInfoSet table = ParseInterfaceDump({
      "set address name=\"LAN\" source=dhcp",
      "  add address name=\"LAN\" addr=10.1.1.2 mask=255.255.0.0",
  });
  ASSERT_EQ(table.size(), 1u);
  EXPECT_FALSE(table[0].DHCP);
  EXPECT_EQ(table[0].IP2, "10.1.1.2");
  EXPECT_EQ(table[0].Subnet2, "255.255.0.0");
}

TEST(DumpParserTest, SetLineMustStartAtTheFirstCharacter) {
  // A leading blank makes it no set-line, and an add-line before any set-line is ignored.
  TNetworkInfoSet table = ParseInterfaceDump({
      "add dns name=\"LAN\" addr=10.0.0.1",
      " set address name=\"LAN\" source=dhcp",
  });
  EXPECT_TRUE(table.empty());
}

TEST(DumpParserTest, LinesThatConfigureNoAddressMakeNoEntry) {
  for (const char* line :
       {"SET interface name=\"Tunnel\" admin=enabled", "set global icmpredirects=enabled",
        "set interface interface=\"Ethernet\" forwarding=enabled advertise=enabled nud=enabled "
        "ignoredefaultroutes=disabled",
        "set state disabled", "reset", "reset all",
        "add route prefix=100.1.1.0/24 interface=\"Ethernet\" nexthop=100.1.1.1 publish=Yes",
        "add route prefix=0.0.0.0/0 interface=\"Ethernet\" publish=Yes",
        "add address name=\"Ethernet\" address=10.0.0.5"})
    EXPECT_TRUE(ParseInterfaceDump({line}).empty()) << line;
  // Lines of the IPv6 context, of whatever form, are not the addresses of a profile.
  const std::string address = "add address name=\"Ethernet\" address=10.0.0.5 mask=255.0.0.0";
  EXPECT_TRUE(ParseInterfaceDump({"pushd interface ipv6", address, "popd"}).empty());
  EXPECT_EQ(ParseInterfaceDump({"pushd interface ipv6", "popd", address}).size(), 1u);
}

TEST(DumpParserTest, EveryLineChangesTheConnectionItNames) {
  TNetworkInfoSet table = ParseInterfaceDump({
      "set address name=\"A\" source=static addr=10.0.0.1 mask=255.0.0.0",
      "set address name=\"B\" source=dhcp",
      "add address name=\"A\" addr=10.0.0.2 mask=255.0.0.0",
      "add dns name=\"C\" addr=10.0.0.53",  // no set-line made C
      "add route prefix=0.0.0.0/0 interface=\"D\" nexthop=10.1.0.1 metric=5 publish=Yes",
      "add address name=\"D\" address=10.1.0.2 mask=255.255.0.0",
  });
  ASSERT_EQ(table.size(), 3u);
  EXPECT_EQ(Shown(table[0]),
            "A static ip=10.0.0.1/255.0.0.0 ip2=10.0.0.2/255.0.0.0 gw= dns=, wins=");
  EXPECT_EQ(Shown(table[1]), "B dhcp ip=/ ip2=/ gw= dns=, wins=");
  EXPECT_EQ(Shown(table[2]), "D static ip=10.1.0.2/255.255.0.0 ip2=/ gw=10.1.0.1 dns=, wins=");
  EXPECT_EQ(table[2].GatewayMetric, "5");
}

// Each real dump gives exactly its connections that have an address, in the order their names
// first appear, static, with their addresses (a third one replaces the second, as XP's
// add-lines do), masks and gateways.
TEST(DumpParserTest, RealDumpsGiveTheirConnectionsWithAddresses) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"windows-server-2003-interface-dump.txt",
       {"Network Team 1: 10.1.1.1/255.255.255.0 gw=10.1.1.2"}},
      {"windows10-en-interface-dump.txt",
       {"VirtualBox Host-Only Network: 192.168.53.1/255.255.255.0 gw=",
        "Local Area Connection* 3: 192.168.137.1/255.255.255.0 gw=",
        "vEthernet (Default Switch): 172.17.215.193/255.255.255.240 gw="}},
      {"windows-server-2019-ipv4-dump.txt",
       {"vEthernet (Ethernet) 2: 172.19.56.17/255.255.240.0 gw=172.19.48.1",
        "br-int: 10.0.0.44/255.255.255.0 gw=10.0.0.1",
        "vEthernet (Ethernet): 172.19.48.93/255.255.240.0 gw=172.19.48.1",
        "vEthernet (nat): 172.25.208.1/255.255.240.0 gw=",
        "vEthernet (fe83824bf7b9e39): 172.19.48.1/255.255.240.0 gw=",
        "vEthernet (HNS Internal NIC): 100.2.2.246/255.0.0.0 100.2.2.10/255.0.0.0 gw=",
        "antrea-gw0: 100.1.2.1/255.255.255.0 gw="}},
  };
  for (const auto& [file, expected] : cases) {
    SCOPED_TRACE(file);
    const std::string_view dump = test::RealDumpBytes(file);
    ASSERT_FALSE(dump.empty());
    std::vector<std::string> shown;
    for (const TNetworkInfo& e : ParseInterfaceDump(SplitLines(dump))) {
      shown.push_back(e.LongLANDescription + ": " + e.IP + "/" + e.Subnet +
                      (e.IP2.empty() ? "" : " " + e.IP2 + "/" + e.Subnet2) + " gw=" + e.Gateway);
      EXPECT_FALSE(e.DHCP) << e.LongLANDescription;
    }
    EXPECT_EQ(shown, expected);
  }
}

TEST(DumpParserTest, LinesWithoutAddressOrMaskAreIgnoredByTheAddressRules) {
  TNetworkInfoSet table = ParseInterfaceDump({
      "set address name=\"LAN\" source=static addr=10.0.0.1 mask=255.0.0.0",
      "set address name=\"LAN\" source=static addr=10.9.9.9",
      "add address name=\"LAN\" mask=255.255.0.0",
  });
  ASSERT_EQ(table.size(), 1u);
  EXPECT_EQ(table[0].IP, "10.0.0.1");
  EXPECT_EQ(table[0].Subnet, "255.0.0.0");
  EXPECT_EQ(table[0].IP2, "");
}

TEST(DumpParserTest, CutsValuesToTheirCapacity) {
  std::string longName(300, 'N');
  std::string longAddress(40, '1');
  TNetworkInfoSet table = ParseInterfaceDump({
      "set address name=\"" + longName + "\" source=static addr=" + longAddress + " mask=255.0.0.0",
      "set dns name=\"" + longName + "\" source=static addr=" + longAddress,
  });
  ASSERT_EQ(table.size(), 1u);  // the second line finds the entry by its stored (cut) name
  EXPECT_EQ(table[0].LongLANDescription, std::string(255, 'N'));
  EXPECT_EQ(table[0].IP, std::string(30, '1'));
  EXPECT_EQ(table[0].DNS, std::string(30, '1'));
}

TEST(DumpParserTest, GatewayWithoutMetricIsEmpty) {
  TNetworkInfoSet table = ParseInterfaceDump({
      "set address name=\"LAN\" gateway=10.0.0.254",
  });
  ASSERT_EQ(table.size(), 1u);
  EXPECT_EQ(table[0].Gateway, "");
  EXPECT_FALSE(table[0].DHCP);
}

TEST(DumpParserTest, NameNeedsTwoQuotes) {
  EXPECT_EQ(ExtractConnectionName("set address name=\"LAN source=dhcp"), "");
  EXPECT_EQ(ExtractConnectionName("set address name=LAN"), "");
  EXPECT_EQ(ExtractConnectionName("set dns name=\"Local Area Connection 2\" source=dhcp"),
            "Local Area Connection 2");
}

}  // namespace
}  // namespace lanvoy
