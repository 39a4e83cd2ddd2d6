// The connection table of Get Current: one entry per connection of the interface dump, in
// the order their names first appear.
#pragma once

#include <string>
#include <vector>

namespace lanvoy {

struct TNetworkInfo {
  std::string LongLANDescription;  // at most 255 characters
  bool DHCP = false;
  std::string IP, Subnet, IP2, Subnet2, Gateway, DNS, DNS2, WINS;  // at most 30 characters each
  bool DHCP_DNS = false;
  bool DHCP_WINS = false;
  // The gateway's metric as the dump gives it: undo sets it back as it was.
  std::string GatewayMetric;
  bool operator==(const TNetworkInfo&) const = default;
};

using TNetworkInfoSet = std::vector<TNetworkInfo>;

}  // namespace lanvoy
