#include "sysread/connections.h"

#include <gtest/gtest.h>

namespace lanvoy {
namespace {

platform::NetworkAdapter Adapter(const std::string& name, uint32_t index) {
  platform::NetworkAdapter a;
  a.name = name;
  a.index = index;
  return a;
}

// Windows' list as Network Connections shows it, read as Windows 5's dump reads.
TEST(ConnectionTable, WhatNetworkConnectionsShowsAsTheDumpWouldGiveIt) {
  platform::NetworkAdapter lan = Adapter("LAN-Verbindung", 12);
  lan.addresses = {{"10.0.0.5", "255.255.255.0"}, {"10.9.0.5", "255.0.0.0"}, {"10.8.0.5", "x"}};
  lan.gateway = "10.0.0.1";
  lan.gatewayMetric = 25;
  lan.dnsServers = {"10.0.0.2", "10.0.0.3", "10.0.0.4"};
  lan.dnsStatic = true;
  lan.winsServers = {"10.0.0.6"};
  lan.winsStatic = true;
  lan.dnsSuffix = "buero.example";
  lan.ipv6 = true, lan.ipv6RouterDiscovery = false;  // static IPv6
  lan.ipv6Addresses = {
      {"2001:db8::5", 64, true}, {"2001:db8:9::1", 48, false}, {"fd00::5", 56, true}};
  lan.ipv6Gateway = "fe80::1", lan.ipv6GatewayManual = true;
  lan.ipv6DnsServers = {"2001:db8::53"}, lan.ipv6DnsStatic = true;
  platform::NetworkAdapter wlan = Adapter("WLAN", 17);
  wlan.type = platform::kIfTypeWifi;
  wlan.dhcp = true;  // its lease, gateway and servers are no settings of its own
  wlan.addresses = {{"192.168.0.105", "255.255.255.0"}};
  wlan.gateway = "192.168.0.1";
  wlan.dnsServers = {"192.168.0.1"};
  wlan.ipv6 = true;  // from the router, DNS from DHCPv6
  wlan.ipv6Addresses = {{"2001:db8:7::9", 64, false}};
  wlan.ipv6DnsServers = {"2001:db8:7::53"};
  wlan.wlanProfiles = {"Gast", "B\xFCro"}, wlan.wlanConnected = "Gast";
  platform::NetworkAdapter plain = Adapter("Ethernet 2", 4);  // switched off
  plain.enabled = false;
  plain.dnsStatic = true;
  plain.winsStatic = true;
  platform::NetworkAdapter loopback = Adapter("Loopback Pseudo-Interface 1", 1);
  loopback.type = platform::kIfTypeLoopback;
  platform::NetworkAdapter tunnel = Adapter("Teredo Tunneling Pseudo-Interface", 14);
  tunnel.type = platform::kIfTypeTunnel;
  platform::NetworkAdapter hidden = Adapter("Local Area Connection* 1", 9);
  hidden.hidden = true;
  platform::NetworkAdapter cyrillic = Adapter("Ethernet ??", 5);
  cyrillic.unmappableName = "Ethernet \xd0\x94\xd0\x96";

  std::vector<std::string> problems;
  const TNetworkInfoSet table =
      ConnectionTable({loopback, lan, tunnel, wlan, hidden, cyrillic, plain}, problems);
  ASSERT_EQ(table.size(), 3u);
  TNetworkInfo expected;
  expected.LongLANDescription = "LAN-Verbindung";
  expected.IP = "10.0.0.5", expected.Subnet = "255.255.255.0";
  expected.IP2 = "10.9.0.5", expected.Subnet2 = "255.0.0.0";
  expected.Gateway = "10.0.0.1", expected.GatewayMetric = "25";
  expected.DNS = "10.0.0.2", expected.DNS2 = "10.0.0.3", expected.WINS = "10.0.0.6";
  expected.DNSMore = "10.0.0.4", expected.DNSSuffix = "buero.example";
  expected.IPv6Mode = kIPv6Static;
  expected.IPv6 = "2001:db8::5", expected.IPv6Prefix = "64";
  expected.IPv6_2 = "fd00::5", expected.IPv6Prefix2 = "56";
  expected.IPv6Gateway = expected.IPv6GatewayManual = "fe80::1";
  expected.IPv6DNS = "2001:db8::53";
  expected.IPv6Manual = {{"2001:db8::5", "64"}, {"fd00::5", "56"}};
  expected.InterfaceIndex = 12;
  EXPECT_EQ(table[0], expected);
  expected = {};
  expected.LongLANDescription = "WLAN";
  expected.DHCP = kModeDhcp, expected.DHCP_DNS = true, expected.DHCP_WINS = true;
  expected.IPv6Mode = kIPv6Automatic, expected.DHCP_IPv6DNS = true;
  expected.Wireless = true, expected.WlanProfiles = wlan.wlanProfiles;
  expected.WlanProfile = "Gast";
  expected.InterfaceIndex = 17;
  EXPECT_EQ(table[1], expected);
  expected = {};
  expected.LongLANDescription = "Ethernet 2";
  expected.AdapterState = kAdapterDisabled;
  expected.InterfaceIndex = 4;
  EXPECT_EQ(table[2], expected);
  // Never a name with "?" for a letter: said, and left out.
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].rfind("The connection \"Ethernet ??\" has characters in its name that "
                              "this computer's code page cannot hold",
                              0),
            0u)
      << problems[0];

  const NetshTarget target = NetshTargetFor({10, 0, 19045}, table);
  EXPECT_TRUE(target.ipv4Grammar);
  EXPECT_EQ(target.interfaceIndex, (std::map<std::string, uint32_t>{
                                       {"LAN-Verbindung", 12}, {"WLAN", 17}, {"Ethernet 2", 4}}));
  EXPECT_FALSE(NetshTargetFor({5, 1, 2600}, table).ipv4Grammar);
}

}  // namespace
}  // namespace lanvoy
