#include "apply/netsh_script.h"

#include <gtest/gtest.h>

#include <functional>

#include "base/error.h"
#include "test_support/profiles.h"
#include "test_support/temp_dir.h"

namespace lanvoy {
namespace {

ProfileRecord WorkedExample() {
  ProfileRecord p;
  p.LongLANDescription = "LAN-Verbindung";
  p.DHCP = kModeStatic;
  p.IP = "192.168.0.20";
  p.Subnet = "255.255.255.0";
  p.Gateway = "192.168.0.1";
  p.DNS = "192.168.0.1";
  p.LongLANDescriptionLan2 = "WLAN";
  p.DHCPLan2 = kModeDhcp;
  p.DHCP_DNSLan2 = true;
  p.DHCP_WINSLan2 = true;
  return p;
}

TEST(NetshScript, WorkedExampleByteForByte) {
  test::TempDir dir;
  const std::string path = dir.File("tmp.txt");
  WriteNetshScript(path, BuildNetshScript(WorkedExample()));
  EXPECT_EQ(dir.Read("tmp.txt"), test::kWorkedExampleScript);
}

TEST(NetshScript, NoSecondConnectionWhateverItsFieldsHold) {
  ProfileRecord p = WorkedExample();
  p.LongLANDescriptionLan2.clear();
  p.IPLan2 = "10.0.0.1";
  p.DNSLan2 = "10.0.0.2";
  p.WINSLan2 = "10.0.0.3";
  p.DHCP_WINSLan2 = false;
  auto script = BuildNetshScript(p);
  for (const auto& entry : script) EXPECT_EQ(entry.find("10.0.0."), std::string::npos) << entry;
  EXPECT_EQ(BuildWinsCommands(p), "");
}

TEST(NetshScript, AddressLines) {
  ProfileRecord p;
  p.LongLANDescription = "LAN 1";
  p.IP = "10.1.1.1";
  p.Subnet = "255.0.0.0";
  EXPECT_EQ(BuildAddressCommands(p),
            "set address name = \"LAN 1\" static addr = 10.1.1.1 mask = 255.0.0.0");
  p.IP2 = "10.2.2.2";  // written whatever the second mask holds
  p.Gateway = "10.0.0.254";
  EXPECT_EQ(BuildAddressCommands(p),
            "set address name = \"LAN 1\" static addr = 10.1.1.1 mask = 255.0.0.0\r\n"
            "add address name = \"LAN 1\" addr = 10.2.2.2 mask = \r\n"
            "set address name = \"LAN 1\" gateway = 10.0.0.254 gwmetric = 1");
  // Values go in untouched: blanks are not empty, nothing is trimmed.
  ProfileRecord q;
  q.LongLANDescription = "a\"b";
  q.IP2 = " ";
  EXPECT_EQ(BuildAddressCommands(q),
            "set address name = \"a\"b\" static addr =  mask = \r\n"
            "add address name = \"a\"b\" addr =   mask = ");
}

TEST(NetshScript, NoModeGivesNoAddressLine) {
  ProfileRecord p;
  p.LongLANDescription = "LAN";
  p.DHCP = kModeNone;
  EXPECT_EQ(BuildAddressCommands(p), "");
  p.LongLANDescriptionLan2 = "WLAN";
  p.DHCPLan2 = kModeDhcp;
  EXPECT_EQ(BuildAddressCommands(p), "\r\nset address name = \"WLAN\" Source = dhcp");
  p.DHCPLan2 = 7;
  EXPECT_EQ(BuildAddressCommands(p), "");
  // An empty block still stands as its own (empty) line of the script.
  auto script = BuildNetshScript(p);
  ASSERT_EQ(script.size(), 5u);
  EXPECT_EQ(script[1], "");
}

TEST(NetshScript, DnsRulesDifferPerConnection) {
  ProfileRecord p;
  p.LongLANDescription = "LAN";
  p.LongLANDescriptionLan2 = "WLAN";
  p.DNS2Lan2 = "9.9.9.9";  // without a first server: no line for connection 2
  EXPECT_EQ(BuildDnsCommands(p), "set dns name = \"LAN\" source = static addr = none");
  p.DNS = "1.1.1.1";
  p.DNS2 = "1.0.0.1";
  p.DNSLan2 = "8.8.8.8";
  EXPECT_EQ(BuildDnsCommands(p),
            "set dns name = \"LAN\" source = static addr = 1.1.1.1\r\n"
            "add dns name = \"LAN\" addr = 1.0.0.1\r\n"
            "set dns name = \"WLAN\" source = static addr = 8.8.8.8\r\n"
            "add dns name = \"WLAN\" addr = 9.9.9.9");
  p.DHCP_DNS = true;
  p.DHCP_DNSLan2 = true;
  EXPECT_EQ(BuildDnsCommands(p),
            "set dns name = \"LAN\" source=dhcp\r\nset dns name = \"WLAN\" source=dhcp");
}

TEST(NetshScript, WinsLines) {
  ProfileRecord p;
  p.LongLANDescription = "LAN";
  EXPECT_EQ(BuildWinsCommands(p), "");
  p.WINS = "10.0.0.9";
  EXPECT_EQ(BuildWinsCommands(p), "set wins name =  \"LAN\" source = static addr = 10.0.0.9");
  p.DHCP_WINS = true;  // from DHCP wins over an address
  EXPECT_EQ(BuildWinsCommands(p), "set wins name = \"LAN\" source = dhcp");
  p.DHCP_WINS = false;
  p.WINS.clear();
  p.LongLANDescriptionLan2 = "WLAN";
  p.WINSLan2 = "10.1.0.9";
  EXPECT_EQ(BuildWinsCommands(p), "\r\nset wins name =  \"WLAN\" source = static addr = 10.1.0.9");
}

TEST(NetshScript, HeadAndTailForEveryProfile) {
  ProfileRecord p;
  p.DHCP = kModeDhcp;
  p.DHCP_DNS = true;
  p.DHCP_WINS = true;
  p.LongLANDescription = "LAN";
  p.LongLANDescriptionLan2 = "WLAN";
  p.DHCPLan2 = kModeDhcp;
  auto script = BuildNetshScript(p);
  ASSERT_EQ(script.size(), 5u);
  EXPECT_EQ(script.front(), "pushd interface\r\nreset all\r\npopd\r\npushd interface ip");
  EXPECT_EQ(script.back(), "popd");
}

TEST(NetshScript, WriteFailureRaisesCannotCreate) {
  test::TempDir dir;
  dir.Write("file", "x");
  const std::string path = dir.File("file") + "/tmp.txt";
  try {
    WriteNetshScript(path, {"popd"});
    FAIL() << "no error";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create file " + path);
  }
  WriteNetshScript(dir.File("empty.txt"), {});
  EXPECT_EQ(dir.Read("empty.txt"), "");
}

// Vista and later: the same lines in the same cases, in the "interface ipv4" grammar, each
// connection named by its interface index.
TEST(NetshScript, Ipv4GrammarLineForLine) {
  NetshTarget target;
  target.ipv4Grammar = true;
  target.interfaceIndex = {{"LAN-Verbindung", 12}, {"WLAN", 17}};
  auto script = [&](const std::function<void(ProfileRecord&)>& change) {
    ProfileRecord p = WorkedExample();
    change(p);
    std::string text;
    for (const std::string& entry : BuildNetshScript(p, target)) text += entry + "\n";
    return text;
  };
  const std::string head = "pushd interface ipv4\n";
  const std::string wlan = "set address name=17 source=dhcp\n";
  const std::string wlanDns = "set dnsservers name=17 source=dhcp\n";
  const std::string wlanWins = "set winsservers name=17 source=dhcp\npopd\n";
  const struct {
    const char* what;
    std::function<void(ProfileRecord&)> change;
    std::string expected;
  } cases[] = {
      {"static: the gateway in the address line", [](ProfileRecord&) {},
       head +
           "set address name=12 source=static address=192.168.0.20 mask=255.255.255.0 "
           "gateway=192.168.0.1 gwmetric=1\r\n" +
           wlan +
           "set dnsservers name=12 source=static address=192.168.0.1 register=primary "
           "validate=no\r\n" +
           wlanDns + "\r\n" + wlanWins},
      {"second address, second DNS, WINS, no gateway",
       [](ProfileRecord& p) {
         p.IP2 = "10.0.0.20", p.Subnet2 = "255.0.0.0", p.Gateway.clear();
         p.DNS2 = "192.168.0.2", p.WINS = "192.168.0.3";
       },
       head +
           "set address name=12 source=static address=192.168.0.20 mask=255.255.255.0 "
           "gateway=none\r\nadd address name=12 address=10.0.0.20 mask=255.0.0.0\r\n" +
           wlan +
           "set dnsservers name=12 source=static address=192.168.0.1 register=primary "
           "validate=no\r\nadd dnsservers name=12 address=192.168.0.2 index=2 validate=no\r\n" +
           wlanDns + "set winsservers name=12 source=static address=192.168.0.3\r\n" + wlanWins},
      {"connection 1 always gets its DNS line, connection 2 only with a server",
       [](ProfileRecord& p) {
         p.DNS.clear(), p.DHCPLan2 = kModeStatic, p.IPLan2 = "10.1.0.1";
         p.SubnetLan2 = "255.255.0.0", p.DHCP_DNSLan2 = false, p.DHCP_WINSLan2 = false;
       },
       head + "set address name=12 source=static address=192.168.0.20 mask=255.255.255.0 "
              "gateway=192.168.0.1 gwmetric=1\r\n"
              "set address name=17 source=static address=10.1.0.1 mask=255.255.0.0 "
              "gateway=none\n"
              "set dnsservers name=12 source=static address=none register=primary validate=no\n"
              "\npopd\n"},
      {"DHCP, and a connection the machine lacks keeps its name",
       [](ProfileRecord& p) {
         p.LongLANDescription = "Büro", p.DHCP = kModeDhcp, p.DHCP_DNS = true;
         p.DHCP_WINS = true;
       },
       head + "set address name=\"Büro\" source=dhcp\r\n" + wlan +
           "set dnsservers name=\"Büro\" source=dhcp\r\n" + wlanDns +
           "set winsservers name=\"Büro\" source=dhcp\r\n" + wlanWins},
      {"the later settings: adapters on first and off last, IPv6 replacing what was set by hand",
       [](ProfileRecord& p) {
         p.AdapterState = kAdapterEnabled, p.AdapterStateLan2 = kAdapterDisabled;
         p.GatewayMetric = "25", p.DNS2 = "192.168.0.2", p.DNSMore = "192.168.0.3; 192.168.0.4";
         p.IPv6Mode = kIPv6Static, p.IPv6 = "2001:db8::20", p.IPv6Prefix = "64";
         p.IPv6_2 = "2001:DB8:1::20", p.IPv6Gateway = "fe80::1", p.IPv6DNS = "2001:db8::53";
         p.IPv6ModeLan2 = kIPv6Automatic, p.DHCP_IPv6DNSLan2 = true;
         p.WlanProfileLan2 = "B\xFCro";
       },
       "pushd interface\nset interface name=\"LAN-Verbindung\" admin=enabled\npopd\n" + head +
           "set address name=12 source=static address=192.168.0.20 mask=255.255.255.0 "
           "gateway=192.168.0.1 gwmetric=25\r\n" +
           wlan +
           "set dnsservers name=12 source=static address=192.168.0.1 register=primary "
           "validate=no\r\nadd dnsservers name=12 address=192.168.0.2 index=2 validate=no\r\n"
           "add dnsservers name=12 address=192.168.0.3 index=3 validate=no\r\n"
           "add dnsservers name=12 address=192.168.0.4 index=4 validate=no\r\n" +
           wlanDns + "\r\n" + wlanWins +
           "pushd interface ipv6\n"
           "set interface interface=12 routerdiscovery=disabled\r\n"
           "delete address interface=12 address=2001:db8::99\r\n"
           "add address interface=12 address=2001:DB8:1::20/64\r\n"
           "delete route prefix=::/0 interface=12 nexthop=2001:db8::1\r\n"
           "add route prefix=::/0 interface=12 nexthop=fe80::1\r\n"
           "set dnsservers name=12 source=static address=2001:db8::53 register=primary "
           "validate=no\r\n"
           "set interface interface=17 routerdiscovery=enabled\r\n"
           "delete address interface=17 address=2001:db8:7::1\r\n"
           "set dnsservers name=17 source=dhcp\npopd\n"
           "pushd wlan\nconnect name=\"B\xFCro\" interface=\"WLAN\"\npopd\n"
           "pushd interface\nset interface name=\"WLAN\" admin=disabled\npopd\n"},
  };
  target.ipv6 = {
      {"LAN-Verbindung", {{{"2001:db8::20", "64"}, {"2001:db8::99", "64"}}, "2001:db8::1"}},
      {"WLAN", {{{"2001:db8:7::1", "64"}}, ""}}};
  for (const auto& c : cases) EXPECT_EQ(script(c.change), c.expected) << c.what;
}

}  // namespace
}  // namespace lanvoy
