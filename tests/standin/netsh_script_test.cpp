#include "standin/netsh_script.h"

#include <gtest/gtest.h>

#include "standin/netsh_dump.h"
#include "test_support/netsh_dump_reading.h"
#include "test_support/profiles.h"

namespace lanvoy::standin {
namespace {

using test::ReadDump;

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(NetshScript, WorkedExampleOfTheBuilderIsAppliedAndDumpedBack) {
  NetworkState state = NetworkState::Default();
  NetshInterpreter netsh(state);
  EXPECT_TRUE(netsh.RunScript(test::kWorkedExampleScript)) << netsh.output();
  EXPECT_EQ(Count(netsh.output(), "Ok.\r\n"), 7);  // reset all and six settings
  EXPECT_TRUE(netsh.changed());

  auto dump = ReadDump(InterfaceDump(state));
  ASSERT_EQ(dump.size(), 2u);
  const auto& lan = dump["LAN-Verbindung"];
  EXPECT_EQ(lan.addressSource, "static");
  EXPECT_EQ(lan.addresses, std::vector<std::string>{"192.168.0.20"});
  EXPECT_EQ(lan.masks, std::vector<std::string>{"255.255.255.0"});
  EXPECT_EQ(lan.gateway, "192.168.0.1");
  EXPECT_EQ(lan.gwmetric, "1");
  EXPECT_EQ(lan.dnsSource, "static");
  // "set dns ... static" replaces the list: the default machine's second server is gone.
  EXPECT_EQ(lan.dns, std::vector<std::string>{"192.168.0.1"});
  EXPECT_EQ(lan.winsSource, "static");
  EXPECT_EQ(lan.wins, "none");
  const auto& wlan = dump["WLAN"];
  EXPECT_EQ(wlan.addressSource, "dhcp");
  EXPECT_TRUE(wlan.addresses.empty());
  EXPECT_EQ(wlan.dnsSource, "dhcp");
  EXPECT_EQ(wlan.winsSource, "dhcp");
}

TEST(NetshScript, SecondAddressSecondDnsWinsAndModeChangesReadBack) {
  NetworkState state = NetworkState::Default();
  NetshInterpreter netsh(state);
  EXPECT_TRUE(
      netsh.RunScript("pushd interface\r\nreset all\r\npopd\r\npushd interface ip\r\n"
                      "set address name = \"WLAN\" static addr = 10.1.2.3 mask = 255.255.0.0\r\n"
                      "add address name = \"WLAN\" addr = 10.9.0.1 mask = 255.0.0.0\r\n"
                      "set address name = \"WLAN\" gateway = 10.1.0.1 gwmetric = 1\r\n"
                      "set address name = \"LAN-Verbindung\" Source = dhcp\r\n"
                      "set dns name = \"WLAN\" source = static addr = 10.1.0.53\r\n"
                      "add dns name = \"WLAN\" addr = 10.1.0.54\r\n"
                      "set dns name = \"LAN-Verbindung\" source=dhcp\r\n"
                      "set wins name =  \"WLAN\" source = static addr = 10.1.0.99\r\n"
                      "set wins name = \"LAN-Verbindung\" source = dhcp\r\n"
                      "popd\r\n"))
      << netsh.output();

  auto dump = ReadDump(InterfaceDump(state));
  const auto& wlan = dump["WLAN"];
  EXPECT_EQ(wlan.addressSource, "static");
  EXPECT_EQ(wlan.addresses, (std::vector<std::string>{"10.1.2.3", "10.9.0.1"}));
  EXPECT_EQ(wlan.masks, (std::vector<std::string>{"255.255.0.0", "255.0.0.0"}));
  EXPECT_EQ(wlan.gateway, "10.1.0.1");
  EXPECT_EQ(wlan.dns, (std::vector<std::string>{"10.1.0.53", "10.1.0.54"}));
  EXPECT_EQ(wlan.winsSource, "static");
  EXPECT_EQ(wlan.wins, "10.1.0.99");
  // Going to DHCP drops the static addresses and the gateway.
  const auto& lan = dump["LAN-Verbindung"];
  EXPECT_EQ(lan.addressSource, "dhcp");
  EXPECT_TRUE(lan.addresses.empty());
  EXPECT_TRUE(lan.gateway.empty());
  EXPECT_EQ(lan.dnsSource, "dhcp");
  EXPECT_TRUE(lan.dns.empty());
  EXPECT_EQ(lan.winsSource, "dhcp");

  // A new static address replaces both addresses and the gateway of before, so that a dump
  // of a connection without a gateway, replayed, leaves none.
  EXPECT_TRUE(netsh.Execute("interface ip set address WLAN static 172.16.0.2 255.255.255.0"));
  const auto* c = state.Find("WLAN");
  ASSERT_EQ(c->addresses.size(), 1u);
  EXPECT_EQ(c->addresses[0], (AddressEntry{"172.16.0.2", "255.255.255.0"}));
  EXPECT_EQ(c->gateway, "");
  EXPECT_EQ(c->gatewayMetric, 0);
}

TEST(NetshScript, RefusedLinesReportAndTheNextLineStillRuns) {
  NetworkState state = NetworkState::Default();
  NetshInterpreter netsh(state);
  const bool ok = netsh.RunScript(
      "pushd interface ip\n"
      "set address name = \"Ethernet 7\" static addr = 10.0.0.1 mask = 255.0.0.0\n"
      "set dns name = \"LAN-Verbindung\" source = static addr = 10.0.0.53\n"
      "set address name = \"LAN-Verbindung\" static addr = 192.168.0.300 mask = 255.255.255.0\n"
      "set wins name = \"LAN-Verbindung\" source = static addr = 10.0.0.99\n"
      "set address name = \"LAN-Verbindung\" static addr = 10.0.0.1 mask = 255.0.255.0\n"
      "add dns name = \"LAN-Verbindung\" addr = 10.0.0.54\n"
      "set mtu name = \"LAN-Verbindung\" 1400\n"
      "set address name = \"LAN-Verbindung\" gateway = 10.0.0.1.5 gwmetric = 1\n"
      "popd\n");
  EXPECT_FALSE(ok);
  const std::string& out = netsh.output();
  EXPECT_NE(out.find("Invalid interface \"Ethernet 7\" specified.\r\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Invalid addr parameter (192.168.0.300).\r\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Invalid mask parameter (255.0.255.0).\r\n"), std::string::npos) << out;
  EXPECT_NE(out.find("The following command was not found: set mtu name = \"LAN-Verbindung\" "
                     "1400.\r\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("Invalid gateway parameter (10.0.0.1.5).\r\n"), std::string::npos) << out;
  EXPECT_EQ(Count(out, "Ok.\r\n"), 3);

  const auto* lan = state.Find("LAN-Verbindung");
  EXPECT_EQ(lan->addresses, NetworkState::Default().connections[0].addresses);  // untouched
  EXPECT_EQ(lan->gateway, "192.168.1.1");
  EXPECT_EQ(lan->dnsServers, (std::vector<std::string>{"10.0.0.53", "10.0.0.54"}));
  EXPECT_EQ(lan->winsServers, std::vector<std::string>{"10.0.0.99"});
}

TEST(NetshScript, AcceptsNetshSpellingsOfParameters) {
  NetworkState state = NetworkState::Default();
  NetshInterpreter netsh(state);
  EXPECT_TRUE(netsh.RunScript(
      "# a comment line\n"
      "\n"
      "   \n"
      "PUSHD INTERFACE IP\n"
      "SET ADDRESS NAME=\"lan-verbindung\" SOURCE=STATIC ADDR=10.0.0.7 MASK=255.255.255.128\n"
      "set address \"WLAN\" static 10.0.0.9 255.0.0.0 10.0.0.1 1\n"
      "Set Dns Name = WLAN Source = Static Addr = 10.0.0.1 Register = Both\n"
      "add dns WLAN 10.0.0.2 index=1\n"
      "set wins name=WLAN source=static addr=none\n"
      "popd\n"))
      << netsh.output();
  const auto* lan = state.Find("LAN-Verbindung");
  EXPECT_EQ(lan->addresses, (std::vector<AddressEntry>{{"10.0.0.7", "255.255.255.128"}}));
  const auto* wlan = state.Find("WLAN");
  EXPECT_FALSE(wlan->dhcp);
  EXPECT_EQ(wlan->addresses, (std::vector<AddressEntry>{{"10.0.0.9", "255.0.0.0"}}));
  EXPECT_EQ(wlan->gateway, "10.0.0.1");
  EXPECT_EQ(wlan->gatewayMetric, 1);
  EXPECT_EQ(wlan->dnsServers, (std::vector<std::string>{"10.0.0.2", "10.0.0.1"}));
  EXPECT_FALSE(wlan->winsFromDhcp);
  EXPECT_TRUE(wlan->winsServers.empty());
}

TEST(NetshScript, IncompleteAndConflictingCommandsChangeNothing) {
  NetworkState state = NetworkState::Default();
  const NetworkState before = state;
  NetshInterpreter netsh(state);
  ASSERT_TRUE(netsh.Execute("pushd interface ip"));
  // The builder's DNS line for an empty server ends in "addr = ".
  EXPECT_FALSE(netsh.Execute("set dns name = \"LAN-Verbindung\" source = static addr = "));
  EXPECT_FALSE(netsh.Execute("set address name = \"LAN-Verbindung\" static addr = 10.0.0.1"));
  EXPECT_FALSE(netsh.Execute("set address name = \"LAN-Verbindung\" source = bootp"));
  EXPECT_FALSE(netsh.Execute("set address name = \"LAN-Verbindung\" name = \"WLAN\" dhcp"));
  EXPECT_FALSE(netsh.Execute("set dns name = \"LAN-Verbindung\" 10.0.0.1 10.0.0.2"));
  EXPECT_FALSE(netsh.Execute("add address name = \"WLAN\" addr = 10.0.0.8 mask = 255.0.0.0"));
  EXPECT_FALSE(netsh.Execute("set address name = \"WLAN\" gateway = 10.0.0.1 gwmetric = 1"));
  EXPECT_FALSE(
      netsh.Execute("add address name = \"LAN-Verbindung\" addr = 192.168.1.10 mask = "
                    "255.255.255.0"));
  EXPECT_FALSE(netsh.Execute("add dns name = \"LAN-Verbindung\" addr = 192.168.1.2"));
  EXPECT_EQ(state, before);
  EXPECT_FALSE(netsh.changed());
  EXPECT_NE(netsh.output().find("One or more essential parameters not specified"),
            std::string::npos);
  EXPECT_NE(netsh.output().find("'bootp' is not an acceptable value for source."),
            std::string::npos);
}

TEST(NetshScript, ContextsDecideWhichCommandsExist) {
  NetworkState state = NetworkState::Default();
  NetshInterpreter netsh(state);
  const std::string dhcp = "set address name=\"WLAN\" source=dhcp";
  EXPECT_FALSE(netsh.Execute(dhcp));  // top level: no such command
  EXPECT_FALSE(netsh.Execute("reset all"));
  EXPECT_FALSE(netsh.Execute("popd"));  // nothing pushed
  EXPECT_TRUE(netsh.Execute("pushd interface"));
  EXPECT_TRUE(netsh.Execute("reset all"));
  EXPECT_FALSE(netsh.Execute(dhcp));
  EXPECT_TRUE(netsh.Execute("ip " + dhcp));
  EXPECT_TRUE(netsh.Execute("pushd ip"));
  EXPECT_TRUE(netsh.Execute(dhcp));
  EXPECT_TRUE(netsh.Execute("popd"));
  EXPECT_TRUE(netsh.Execute("popd"));
  EXPECT_FALSE(netsh.Execute(dhcp));
  EXPECT_TRUE(netsh.Execute("interface ip " + dhcp));
  // "reset all" leaves the connections' settings alone.
  EXPECT_EQ(state, NetworkState::Default());

  NetshInterpreter started(state);
  EXPECT_TRUE(started.SetContext("INTERFACE IP"));
  EXPECT_TRUE(started.Execute(dhcp));
  EXPECT_FALSE(started.SetContext("routing"));
}

TEST(NetshScript, ExitEndsTheScript) {
  NetworkState state = NetworkState::Default();
  NetshInterpreter netsh(state);
  EXPECT_TRUE(
      netsh.RunScript("pushd interface ip\nexit\n"
                      "set address name=WLAN source=static addr=1.2.3.4 mask=255.0.0.0\n"));
  EXPECT_TRUE(netsh.finished());
  EXPECT_EQ(state, NetworkState::Default());
}

TEST(NetshScript, AddressAndMaskChecks) {
  EXPECT_TRUE(IsIpAddress("0.0.0.0"));
  EXPECT_TRUE(IsIpAddress("255.255.255.255"));
  EXPECT_TRUE(IsIpAddress("10.0.0.001"));
  for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1..2.3", "1.2.3.", "a.b.c.d",
                          "1.2.3.4 ", "-1.2.3.4", "1234.1.1.1"})
    EXPECT_FALSE(IsIpAddress(bad)) << bad;
  EXPECT_TRUE(IsSubnetMask("255.255.255.0"));
  EXPECT_TRUE(IsSubnetMask("255.255.255.255"));
  EXPECT_TRUE(IsSubnetMask("128.0.0.0"));
  EXPECT_TRUE(IsSubnetMask("255.255.254.0"));
  for (const char* bad : {"0.0.0.0", "255.0.255.0", "255.255.255.1", "0.255.255.255", "300.0.0.0"})
    EXPECT_FALSE(IsSubnetMask(bad)) << bad;
}

}  // namespace
}  // namespace lanvoy::standin
