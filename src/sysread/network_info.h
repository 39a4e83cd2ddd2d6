// The connection table of Get Current: one entry per connection of the machine, in the order
// Windows lists them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "profiles/connection_settings.h"

namespace lanvoy {

// A connection's settings as read from the machine (DHCP is kModeStatic or kModeDhcp); its
// GatewayMetric is the machine's, "0" included, which undo sets back as it was.
struct TNetworkInfo : ConnectionSettings {
  // The interface index that names it to netsh on Vista and later; 0 from a dump.
  uint32_t InterfaceIndex = 0;
  bool operator==(const TNetworkInfo&) const = default;
};

using TNetworkInfoSet = std::vector<TNetworkInfo>;

}  // namespace lanvoy
