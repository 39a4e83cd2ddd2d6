// One network connection's TCP/IP settings: a profile holds two of them, Get Current reads
// one per connection of the machine. Everything that handles a connection (the script, the
// checks, the snapshot, verify, the window's binding, the readers) goes through this type.
#pragma once

#include <cstdint>
#include <string>

namespace lanvoy {

// Address modes as the mode selector holds them.
inline constexpr int32_t kModeNone = -1;
inline constexpr int32_t kModeStatic = 0;
inline constexpr int32_t kModeDhcp = 1;

// IPv6 modes; -1 (kModeNone) leaves IPv6 as it is.
inline constexpr int32_t kIPv6Static = 0;
inline constexpr int32_t kIPv6Automatic = 1;
// Adapter states; -1 (kModeNone) leaves the adapter as it is.
inline constexpr int32_t kAdapterDisabled = 0;
inline constexpr int32_t kAdapterEnabled = 1;

struct ConnectionSettings {
  std::string LongLANDescription;  // the connection's name; empty: no connection
  int32_t DHCP = kModeStatic;      // kModeNone, kModeStatic or kModeDhcp
  std::string IP, Subnet, IP2, Subnet2, Gateway, DNS, DNS2, WINS;
  bool DHCP_DNS = false;
  bool DHCP_WINS = false;

  // Windows Vista and later only. A profile that never set them is stored without them.
  int32_t IPv6Mode = kModeNone;  // kModeNone, kIPv6Static or kIPv6Automatic
  std::string IPv6, IPv6Prefix, IPv6_2, IPv6Prefix2, IPv6Gateway, IPv6DNS, IPv6DNS2;
  bool DHCP_IPv6DNS = false;
  std::string DNSMore;               // IPv4 DNS servers after the second, ";"-joined
  std::string DNSSuffix;             // the connection's own DNS suffix
  std::string GatewayMetric;         // of the IPv4 gateway; empty: 1
  std::string WlanProfile;           // the machine's Wi-Fi profile to join
  int32_t AdapterState = kModeNone;  // kModeNone, kAdapterDisabled or kAdapterEnabled

  // Whether any setting of Vista and later is given.
  bool HasNewerSettings() const {
    return IPv6Mode != kModeNone || !DNSMore.empty() || !DNSSuffix.empty() ||
           !GatewayMetric.empty() || !WlanProfile.empty() || AdapterState != kModeNone;
  }

  // A connection whose lines the script writes: named, and static or DHCP.
  bool Configured() const {
    return !LongLANDescription.empty() && (DHCP == kModeStatic || DHCP == kModeDhcp);
  }
  bool operator==(const ConnectionSettings&) const = default;
};

}  // namespace lanvoy
