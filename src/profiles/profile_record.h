// The profile record: every setting of one profile, one field per key of the profile
// store, named after its key. The main window's controls hold the record being shown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "apply/hosts_lines.h"
#include "profiles/connection_settings.h"

namespace lanvoy {

// The kinds of script by ScriptKind value.
inline constexpr const char* kScriptKindNames[4] = {"Batchfile (bat)", "Visual Basic Script (vbs)",
                                                    "Java Script (js)", "Win Script (ws)"};

struct ProfileRecord {
  // Connection 1.
  std::string LongLANDescription;
  int32_t DHCP = kModeStatic;  // kModeNone, kModeStatic or kModeDhcp
  std::string IP, Subnet, IP2, Subnet2, Gateway, DNS, DNS2, WINS;
  bool DHCP_DNS = false;
  bool DHCP_WINS = false;

  // Connection 2; an empty name means the profile has none.
  std::string LongLANDescriptionLan2;
  int32_t DHCPLan2 = kModeStatic;
  std::string IPLan2, SubnetLan2, IP2Lan2, Subnet2Lan2, GatewayLan2, DNSLan2, DNS2Lan2, WINSLan2;
  bool DHCP_DNSLan2 = false;
  bool DHCP_WINSLan2 = false;

  // Settings of Vista and later, connection 1 and 2 (see ConnectionSettings).
  int32_t IPv6Mode = kModeNone, IPv6ModeLan2 = kModeNone;
  std::string IPv6, IPv6Prefix, IPv6_2, IPv6Prefix2, IPv6Gateway, IPv6DNS, IPv6DNS2;
  std::string IPv6Lan2, IPv6PrefixLan2, IPv6_2Lan2, IPv6Prefix2Lan2, IPv6GatewayLan2, IPv6DNSLan2,
      IPv6DNS2Lan2;
  bool DHCP_IPv6DNS = false, DHCP_IPv6DNSLan2 = false;
  std::string DNSMore, DNSMoreLan2, DNSSuffix, DNSSuffixLan2, GatewayMetric, GatewayMetricLan2;
  std::string WlanProfile, WlanProfileLan2;
  int32_t AdapterState = kModeNone, AdapterStateLan2 = kModeNone;

  // Internet proxy.
  std::string Proxy;
  std::string ProxyPort = "8080";
  bool EnableProxy = false;
  bool ProxyNoLocal = false;
  // The exclusion field's text: one address per line, lines separated by CR LF.
  std::string ProxyNotUsed;

  // Mail servers of the default account.
  std::string OLEXPPOP, OLEXPSMTP, OLEXPIMAP;
  bool IncludeOLExp = false;

  // Default printer.
  bool IncludeDefPrint = false;
  std::string DefPrinter;

  // Hosts table: the grid's data rows (it always has at least one, possibly empty).
  bool IncludeHostModification = false;
  std::vector<HostRow> Hosts{HostRow{}};

  // Computer name.
  bool IncludeHostName = false;
  std::string HostName;

  // Script: the lines of the script field, and the kind (-1 when none is selected).
  bool IncludeSript = false;
  std::vector<std::string> ScriptLines;
  int32_t ScriptKind = 0;

  // Keep or revert: after an apply the settings stay only when the user confirms them
  // within the time (seconds); else the apply is undone.
  bool ConfirmKeep = false;
  int32_t ConfirmSeconds = 15;

  bool operator==(const ProfileRecord&) const = default;
};

// A profile's connections: 0 is the first, 1 the second.
inline constexpr int kConnections = 2;

// The fields of Vista and later: stored only when they differ from their default (-1 for
// the numbers, empty, off), so that a store without them loads and saves as before.
template <class Visit>
void ForEachNewerConnectionField(Visit&& visit) {
  using C = ConnectionSettings;
  using R = ProfileRecord;
  visit("IPv6Mode", &C::IPv6Mode, &R::IPv6Mode, &R::IPv6ModeLan2);
  visit("IPv6", &C::IPv6, &R::IPv6, &R::IPv6Lan2);
  visit("IPv6Prefix", &C::IPv6Prefix, &R::IPv6Prefix, &R::IPv6PrefixLan2);
  visit("IPv6_2", &C::IPv6_2, &R::IPv6_2, &R::IPv6_2Lan2);
  visit("IPv6Prefix2", &C::IPv6Prefix2, &R::IPv6Prefix2, &R::IPv6Prefix2Lan2);
  visit("IPv6Gateway", &C::IPv6Gateway, &R::IPv6Gateway, &R::IPv6GatewayLan2);
  visit("IPv6DNS", &C::IPv6DNS, &R::IPv6DNS, &R::IPv6DNSLan2);
  visit("IPv6DNS2", &C::IPv6DNS2, &R::IPv6DNS2, &R::IPv6DNS2Lan2);
  visit("DHCP_IPv6DNS", &C::DHCP_IPv6DNS, &R::DHCP_IPv6DNS, &R::DHCP_IPv6DNSLan2);
  visit("DNSMore", &C::DNSMore, &R::DNSMore, &R::DNSMoreLan2);
  visit("DNSSuffix", &C::DNSSuffix, &R::DNSSuffix, &R::DNSSuffixLan2);
  visit("GatewayMetric", &C::GatewayMetric, &R::GatewayMetric, &R::GatewayMetricLan2);
  visit("WlanProfile", &C::WlanProfile, &R::WlanProfile, &R::WlanProfileLan2);
  visit("AdapterState", &C::AdapterState, &R::AdapterState, &R::AdapterStateLan2);
}

// Every field of a connection, in the order the store writes them: its key (connection 2's
// adds "Lan2"), its member in ConnectionSettings and the record's members of connection 1
// and 2. The one place that pairs them.
template <class Visit>
void ForEachConnectionField(Visit&& visit) {
  using C = ConnectionSettings;
  using R = ProfileRecord;
  visit("IP2", &C::IP2, &R::IP2, &R::IP2Lan2);
  visit("Subnet2", &C::Subnet2, &R::Subnet2, &R::Subnet2Lan2);
  visit("IP", &C::IP, &R::IP, &R::IPLan2);
  visit("Subnet", &C::Subnet, &R::Subnet, &R::SubnetLan2);
  visit("DNS", &C::DNS, &R::DNS, &R::DNSLan2);
  visit("DNS2", &C::DNS2, &R::DNS2, &R::DNS2Lan2);
  visit("Gateway", &C::Gateway, &R::Gateway, &R::GatewayLan2);
  visit("WINS", &C::WINS, &R::WINS, &R::WINSLan2);
  visit("DHCP", &C::DHCP, &R::DHCP, &R::DHCPLan2);
  visit("DHCP_DNS", &C::DHCP_DNS, &R::DHCP_DNS, &R::DHCP_DNSLan2);
  visit("DHCP_WINS", &C::DHCP_WINS, &R::DHCP_WINS, &R::DHCP_WINSLan2);
  visit("LongLANDescription", &C::LongLANDescription, &R::LongLANDescription,
        &R::LongLANDescriptionLan2);
  ForEachNewerConnectionField(visit);
}

// The suffix of connection i's keys and controls: "" or "Lan2".
inline const char* ConnectionSuffix(int i) {
  return i == 0 ? "" : "Lan2";
}

ConnectionSettings ConnectionOf(const ProfileRecord& record, int i);
void SetConnection(ProfileRecord& record, int i, const ConnectionSettings& connection);
// The connections the profile has: the first always, the second when it has a name.
std::vector<ConnectionSettings> ConnectionsOf(const ProfileRecord& record);

}  // namespace lanvoy
