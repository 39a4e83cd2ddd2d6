// Profiles and texts that tests on several backends share.
#pragma once

#include <gtest/gtest.h>

#include "profiles/profile_record.h"
#include "test_support/recorders.h"

namespace lanvoy {

// A connection as a failed comparison shows it: each field that is set, by its key.
inline void PrintTo(const ConnectionSettings& c, std::ostream* out) {
  ForEachConnectionField([&](const char* key, auto member, auto, auto) {
    if (c.*member != ConnectionSettings().*member) *out << key << "=" << c.*member << " ";
  });
}

}  // namespace lanvoy

namespace lanvoy::test {

// The store the screenshots of both front-ends show: every tab has something to show.
inline constexpr const char* kScreenshotStore =
    "[Office]\r\nIP=10.0.0.5\r\nSubnet=255.255.255.0\r\nGateway=10.0.0.1\r\nDNS=10.0.0.2\r\n"
    "LongLANDescription=LAN-Verbindung\r\nDHCP=0\r\nIncludeHostModification=1\r\n"
    "HostsCount=2\r\nH1='10.0.0.7   printer   #lab'\r\nH2='10.0.0.8   nas   #'\r\n"
    "IncludeSript=1\r\nScriptLinesCount=2\r\nS1='net use x: \\\\srv\\share'\r\n"
    "S2='echo done'\r\nProxy=proxy.office\r\nProxyPort=3128\r\nEnableProxy=1\r\n"
    "ProxyNotUsed=10.*;intranet\r\nOLEXPPOP=pop.office\r\nIncludeOLExp=1\r\n"
    "IPv6Mode=0\r\nIPv6=2001:db8:85a3:1234:5678:8a2e:370:7334\r\nIPv6Prefix=64\r\n"
    "IPv6_2=2001:db8:85a3::10\r\nIPv6Prefix2=64\r\nIPv6Gateway=fe80::1\r\n"
    "IPv6DNS=2001:4860:4860::8888\r\nIPv6DNS2=2001:4860:4860::8844\r\n"
    "DNSMore=10.0.0.3;10.0.0.4\r\nDNSSuffix=firma.example\r\nGatewayMetric=25\r\n"
    "WlanProfile=Firmen-WLAN\r\nAdapterState=1\r\n"
    "[Home]\r\nDHCP=1\r\nDHCP_DNS=1\r\nDHCP_WINS=1\r\n[Customer site]\r\nIP=1.2.3.4\r\n";

// Both connections, proxy, mail, hosts and a computer name: every stage has work.
inline ProfileRecord TwoConnectionProfile() {
  ProfileRecord p;
  p.LongLANDescription = "LAN-Verbindung";
  p.DHCP = kModeStatic;
  p.IP = "10.20.30.40";
  p.Subnet = "255.255.255.0";
  p.IP2 = "10.20.31.40";
  p.Subnet2 = "255.255.0.0";
  p.Gateway = "10.20.30.1";
  p.DNS = "10.20.30.2";
  p.DNS2 = "10.20.30.3";
  p.WINS = "10.20.30.4";
  p.LongLANDescriptionLan2 = "WLAN";
  p.DHCPLan2 = kModeDhcp;
  p.DHCP_DNSLan2 = true;
  p.DHCP_WINSLan2 = true;
  p.Proxy = "cache.office";
  p.ProxyPort = "3128";
  p.EnableProxy = true;
  p.ProxyNoLocal = true;
  p.ProxyNotUsed = "10.*\r\nintranet";
  p.IncludeOLExp = true;
  p.OLEXPPOP = "pop.office";
  p.OLEXPSMTP = "smtp.office";
  p.OLEXPIMAP = "imap.office";
  p.IncludeHostModification = true;
  p.Hosts = {{"localhost", "127.0.0.1", ""},
             {"fileserver", "10.20.30.10", "files"},
             {"printer", "10.20.30.11", ""}};
  p.IncludeHostName = true;
  p.HostName = "OFFICE-PC";
  return p;
}

// What Get Current reads back after TwoConnectionProfile was applied (printer aside).
inline void ExpectTwoConnectionProfileRead(const RecordingSink& sink) {
  ASSERT_GE(sink.connections.size(), 2u);
  const TNetworkInfo& lan = sink.connections[0];
  EXPECT_EQ(lan.LongLANDescription, "LAN-Verbindung");
  EXPECT_FALSE(lan.DHCP);
  EXPECT_EQ(lan.IP, "10.20.30.40");
  EXPECT_EQ(lan.Subnet, "255.255.255.0");
  EXPECT_EQ(lan.IP2, "10.20.31.40");
  EXPECT_EQ(lan.Subnet2, "255.255.0.0");
  EXPECT_EQ(lan.Gateway, "10.20.30.1");
  EXPECT_EQ(lan.DNS, "10.20.30.2");
  EXPECT_EQ(lan.DNS2, "10.20.30.3");
  EXPECT_EQ(lan.WINS, "10.20.30.4");
  const TNetworkInfo& wlan = sink.connections[1];
  EXPECT_EQ(wlan.LongLANDescription, "WLAN");
  EXPECT_TRUE(wlan.DHCP);
  EXPECT_TRUE(wlan.DHCP_DNS);
  EXPECT_TRUE(wlan.DHCP_WINS);

  EXPECT_EQ(sink.proxy.Server, "cache.office");
  EXPECT_EQ(sink.proxy.Port, "3128");
  EXPECT_TRUE(sink.proxy.Enable);
  EXPECT_TRUE(sink.proxy.NoLocal);
  EXPECT_EQ(sink.proxy.Exceptions, (std::vector<std::string>{"10.*", "intranet"}));
  EXPECT_EQ(sink.mail, (MailServers{"imap.office", "smtp.office", "pop.office"}));
  EXPECT_EQ(sink.computerName, "OFFICE-PC");
  EXPECT_EQ(sink.hosts, (std::vector<HostRow>{{"localhost   ", "127.0.0.1", ""},
                                              {"fileserver   ", "10.20.30.10", "files"},
                                              {"printer   ", "10.20.30.11", ""}}));
}

// The text the program's script builder writes for its worked example, CR LF and all.
inline constexpr const char* kWorkedExampleScript =
    "pushd interface\r\n"
    "reset all\r\n"
    "popd\r\n"
    "pushd interface ip\r\n"
    "set address name = \"LAN-Verbindung\" static addr = 192.168.0.20 mask = 255.255.255.0\r\n"
    "set address name = \"LAN-Verbindung\" gateway = 192.168.0.1 gwmetric = 1\r\n"
    "set address name = \"WLAN\" Source = dhcp\r\n"
    "set dns name = \"LAN-Verbindung\" source = static addr = 192.168.0.1\r\n"
    "set dns name = \"WLAN\" source=dhcp\r\n"
    "\r\n"
    "set wins name = \"WLAN\" source = dhcp\r\n"
    "popd\r\n";

}  // namespace lanvoy::test
