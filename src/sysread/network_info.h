// The connection table of Get Current: one entry per connection of the machine, in the order
// Windows lists them.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "profiles/connection_settings.h"

namespace lanvoy {

// A connection's settings as read from the machine (DHCP is kModeStatic or kModeDhcp); its
// GatewayMetric is the machine's, "0" included, which undo sets back as it was.
struct TNetworkInfo : ConnectionSettings {
  // The interface index that names it to netsh on Vista and later; 0 from a dump.
  uint32_t InterfaceIndex = 0;
  // The IPv6 addresses and default route set by hand, whatever the mode: what a profile's
  // IPv6 replaces.
  std::vector<std::pair<std::string, std::string>> IPv6Manual;  // address, prefix length
  std::string IPv6GatewayManual;
  // A Wi-Fi adapter, and the machine's Wi-Fi profiles for it.
  bool Wireless = false;
  std::vector<std::string> WlanProfiles;
  bool operator==(const TNetworkInfo&) const = default;
};

using TNetworkInfoSet = std::vector<TNetworkInfo>;

}  // namespace lanvoy
