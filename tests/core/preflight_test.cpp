#include "apply/preflight.h"

#include <gtest/gtest.h>

namespace lanvoy {
namespace {

TEST(Preflight, AddressesAndMasks) {
  struct Case {
    const char* text;
    bool address, mask;
  } cases[] = {{"192.168.1.10", true, false},
               {"255.255.255.0", true, true},
               {"255.255.254.0", true, true},
               {"255.0.255.0", true, false},
               {"0.0.0.0", true, false},
               {"10.0.0.256", false, false},
               {"10.0.0", false, false},
               {"10.0.0.1.", false, false},
               {" 10.0.0.1", false, false},
               {"10.0.0.1x", false, false},
               {"", false, false}};
  for (const Case& c : cases) {
    auto a = ParseIPv4(c.text);
    EXPECT_EQ(a.has_value(), c.address) << c.text;
    EXPECT_EQ(a && IsSubnetMask(*a), c.mask) << c.text;
    // A field may be empty; a WINS field may also say "none".
    const bool empty = !*c.text;
    EXPECT_EQ(ValidAddressText(AddressKind::Address, c.text), c.address || empty) << c.text;
    EXPECT_EQ(ValidAddressText(AddressKind::Mask, c.text), c.mask || empty) << c.text;
    EXPECT_EQ(ValidAddressText(AddressKind::Wins, c.text), c.address || empty) << c.text;
  }
  EXPECT_TRUE(ValidAddressText(AddressKind::Wins, "None"));
  EXPECT_FALSE(ValidAddressText(AddressKind::Address, "none"));
}

ProfileRecord Office() {
  ProfileRecord p;
  p.LongLANDescription = "LAN-Verbindung";
  p.IP = "10.0.0.5";
  p.Subnet = "255.255.255.0";
  p.Gateway = "10.0.0.1";
  p.DNS = "10.0.0.2";
  return p;
}

MachineFacts Machine() {
  MachineFacts m;
  m.connections.resize(2);
  m.connections[0].LongLANDescription = "LAN-Verbindung";
  m.connections[1].LongLANDescription = "WLAN";
  m.hostsPath = "C:\\WINDOWS\\system32\\drivers\\etc\\hosts";
  m.printers = {"Laser"};
  m.scriptRunner = [](const std::string& ext) { return ext == ".bat"; };
  return m;
}

// Each check: the profile of a valid case passes, one change makes it fail with its level.
// Those of the values alone (marked) are also the checks of a save.
TEST(Preflight, EachCheckPassesOrNamesWhatToMend) {
  struct Case {
    const char* what;
    std::function<void(ProfileRecord&, MachineFacts&)> change;
    Finding::Level level;
    const char* says;
    bool value = false;
  } cases[] = {
      {"unknown connection", [](auto& p, auto&) { p.LongLANDescription = "Netzwerkbruecke"; },
       Finding::Error,
       "Netzwerkbruecke: this computer has no connection of that name (it has "
       "\"LAN-Verbindung\", \"WLAN\")"},
      {"bad address", [](auto& p, auto&) { p.IP = "10.0.0.500"; }, Finding::Error,
       "the IP address \"10.0.0.500\" is not an IPv4 address", true},
      {"bad mask", [](auto& p, auto&) { p.Subnet = "255.0.255.0"; }, Finding::Error,
       "the subnet mask \"255.0.255.0\" is not a subnet mask", true},
      {"gateway outside", [](auto& p, auto&) { p.Gateway = "10.0.1.1"; }, Finding::Error,
       "the gateway 10.0.1.1 lies outside the subnet of 10.0.0.5/255.255.255.0", true},
      {"bad DNS", [](auto& p, auto&) { p.DNS2 = "dns.local"; }, Finding::Error,
       "the second DNS server \"dns.local\" is not an IPv4 address", true},
      {"bad WINS", [](auto& p, auto&) { p.WINS = "10.0.0"; }, Finding::Error,
       "the WINS server \"10.0.0\" is not an IPv4 address", true},
      {"second address, other mask",
       [](auto& p, auto&) {
         p.IP2 = "10.0.0.6";
         p.Subnet2 = "255.255.0.0";
       },
       Finding::Warning, "the second address 10.0.0.6 lies in the subnet of the first address",
       true},
      {"hosts locked",
       [](auto& p, auto& m) {
         p.IncludeHostModification = true;
         m.hostsWritable = false;
       },
       Finding::Error,
       "The hosts file C:\\WINDOWS\\system32\\drivers\\etc\\hosts cannot be written"},
      {"hosts table without localhost",
       [](auto& p, auto& m) {
         p.IncludeHostModification = true;
         p.Hosts = {{"intranet", "10.0.0.9", ""}, {"localhost", "", "not written"}};
         m.hostsMapsLocalhost = true;
       },
       Finding::Warning, "removes \"127.0.0.1   localhost\""},
      {"no interpreter",
       [](auto& p, auto&) {
         p.IncludeSript = true;
         p.ScriptLines = {"MsgBox 1"};
         p.ScriptKind = 1;
       },
       Finding::Warning, "kind \"Visual Basic Script (vbs)\""},
      {"no printer",
       [](auto& p, auto&) {
         p.IncludeDefPrint = true;
         p.DefPrinter = "Inkjet";
       },
       Finding::Warning, "The printer \"Inkjet\" is not installed"},
      // What later Windows do differently; Windows 2000 and XP pass each of these.
      {"no mail account on Windows 10",
       [](auto& p, auto& m) {
         p.IncludeOLExp = true;
         m.windows5 = m.mailAccount = false;
       },
       Finding::Warning, "no default account of Outlook Express"},
      {"Windows chooses the printer",
       [](auto& p, auto& m) {
         p.IncludeDefPrint = true;
         p.DefPrinter = "Laser";
         m.windows5 = false;
         m.windowsManagesPrinter = true;
       },
       Finding::Warning, "it may change \"Laser\" back"},
      // The settings of Vista and later.
      {"IPv6 on XP", [](auto& p, auto&) { p.IPv6Mode = kIPv6Automatic; }, Finding::Warning,
       "are not applied on this Windows (2000 or XP)"},
      {"bad IPv6 address",
       [](auto& p, auto& m) {
         m.windows5 = false;
         p.IPv6Mode = kIPv6Static, p.IPv6 = "2001:db8::1::2";
       },
       Finding::Error, "\"2001:db8::1::2\" is not an IPv6 address"},
      {"prefix length",
       [](auto& p, auto& m) {
         m.windows5 = false;
         p.IPv6Mode = kIPv6Static, p.IPv6 = "2001:db8::1", p.IPv6Prefix = "129";
       },
       Finding::Error, "\"129\" is not a number from 1 to 128"},
      {"IPv6 gateway outside",
       [](auto& p, auto& m) {
         m.windows5 = false;
         p.IPv6Mode = kIPv6Static, p.IPv6 = "2001:db8:1::5", p.IPv6Gateway = "2001:db8:2::1";
       },
       Finding::Error, "the IPv6 gateway 2001:db8:2::1 lies in no prefix"},
      {"metric",
       [](auto& p, auto& m) {
         m.windows5 = false;
         p.GatewayMetric = "0";
       },
       Finding::Error, "the gateway metric \"0\" is not a number from 1 to 9999"},
      {"further DNS without a second",
       [](auto& p, auto& m) {
         m.windows5 = false;
         p.DNSMore = "10.0.0.7";
       },
       Finding::Warning, "the first of them becomes the second"},
      {"Wi-Fi on a cable",
       [](auto& p, auto& m) {
         m.windows5 = false;
         p.WlanProfile = "Gast";
       },
       Finding::Error, "is no Wi-Fi adapter"},
      {"unknown Wi-Fi profile",
       [](auto& p, auto& m) {
         m.windows5 = false;
         m.connections[0].Wireless = true, m.connections[0].WlanProfiles = {"Gast"};
         p.WlanProfile = "Nachbar";
       },
       Finding::Error, "no Wi-Fi profile \"Nachbar\" (it has \"Gast\")"},
      {"switched off with addresses",
       [](auto& p, auto& m) {
         m.windows5 = false;
         p.AdapterState = kAdapterDisabled;
       },
       Finding::Error, "switches the adapter off and also gives it settings"},
      {"adapter off on the machine",
       [](auto&, auto& m) {
         m.windows5 = false;
         m.connections[0].AdapterState = kAdapterDisabled;
       },
       Finding::Error, "the adapter is switched off: choose \"Enabled\""},
  };
  EXPECT_TRUE(PreflightChecks(Office(), Machine()).empty());
  for (const Case& c : cases) {
    ProfileRecord p = Office();
    MachineFacts m = Machine();
    c.change(p, m);
    const std::vector<Finding> findings = PreflightChecks(p, m);
    ASSERT_EQ(findings.size(), 1u) << c.what << ": " << FindingsText(findings);
    EXPECT_EQ(findings[0].level, c.level) << c.what;
    EXPECT_NE(findings[0].message.find(c.says), std::string::npos) << findings[0].message;
    EXPECT_EQ(ValueChecks(p), c.value ? findings : std::vector<Finding>{}) << c.what;
  }
  // What a valid case of each needs, together: a gateway in the second subnet, WINS as Get
  // Current reads "none", DHCP connection 2 without addresses, an included .bat script.
  ProfileRecord p = Office();
  p.IP2 = "192.168.5.5";
  p.Subnet2 = "255.255.255.0";
  p.Gateway = "192.168.5.1";
  p.WINS = "NONE";
  p.LongLANDescriptionLan2 = "WLAN";
  p.DHCPLan2 = kModeDhcp;
  p.IncludeSript = true;
  p.ScriptLines = {"echo"};
  p.IncludeDefPrint = true;
  p.DefPrinter = "Laser";
  p.IncludeHostModification = true;
  p.Hosts = {{"loopback\tLocalHost ", "127.0.0.1", ""}};
  MachineFacts m = Machine();
  m.hostsMapsLocalhost = true;
  EXPECT_EQ(FindingsText(PreflightChecks(p, m)), "");
}

// Windows 10 refuses such a computer name; the message says which rule.
TEST(Preflight, ComputerNamesLaterWindowsTake) {
  const std::pair<const char*, const char*> names[] = {
      {"OFFICE-PC-2", ""},
      {"", "is empty"},
      {"NOTEBOOK-OFFICE-1", "is longer than 15 characters"},
      {"B\xfcro-PC", "holds characters other than letters, digits and hyphens"},
      {"MY PC", "holds characters other than letters, digits and hyphens"},
      {"2024", "is digits only"}};
  for (const auto& [name, says] : names) {
    ProfileRecord p = Office();
    p.IncludeHostName = true;
    p.HostName = name;
    MachineFacts m = Machine();
    EXPECT_TRUE(PreflightChecks(p, m).empty()) << name;  // XP: written as the registry takes it
    m.windows5 = false;
    const std::vector<Finding> findings = PreflightChecks(p, m);
    if (!*says) {
      EXPECT_TRUE(findings.empty()) << FindingsText(findings);
      continue;
    }
    ASSERT_EQ(findings.size(), 1u) << name;
    EXPECT_EQ(findings[0].level, Finding::Error);
    EXPECT_NE(findings[0].message.find(says), std::string::npos) << findings[0].message;
  }
}

}  // namespace
}  // namespace lanvoy
