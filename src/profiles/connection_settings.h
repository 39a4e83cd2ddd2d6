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

struct ConnectionSettings {
  std::string LongLANDescription;  // the connection's name; empty: no connection
  int32_t DHCP = kModeStatic;      // kModeNone, kModeStatic or kModeDhcp
  std::string IP, Subnet, IP2, Subnet2, Gateway, DNS, DNS2, WINS;
  bool DHCP_DNS = false;
  bool DHCP_WINS = false;

  // A connection whose lines the script writes: named, and static or DHCP.
  bool Configured() const {
    return !LongLANDescription.empty() && (DHCP == kModeStatic || DHCP == kModeDhcp);
  }
  bool operator==(const ConnectionSettings&) const = default;
};

}  // namespace lanvoy
