// The netsh script: the command file that "netsh -f" runs to set a profile's addresses.
// Values go in exactly as the profile holds them; netsh judges the lines.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "profiles/profile_record.h"

namespace lanvoy {

// Which netsh the script is for: Windows 5's (2000, XP) "interface ip" grammar, or the
// "interface ipv4" grammar of Vista and later, which names a connection by its interface
// index (non-ASCII names pass netsh's code page unreliably there).
// A connection's IPv6 settings that were set by hand, as the machine has them now: what a
// profile's IPv6 replaces.
struct ManualIPv6 {
  std::vector<std::pair<std::string, std::string>> addresses;  // address, prefix length
  std::string gateway;
};

struct NetshTarget {
  bool ipv4Grammar = false;
  std::map<std::string, uint32_t> interfaceIndex;  // by the connection's exact name
  // The metric a connection's gateway gets where it is not 1 (an undo gives back the old).
  std::map<std::string, std::string> gatewayMetric;
  std::map<std::string, ManualIPv6> ipv6;  // by the connection's exact name
  std::string MetricOf(const std::string& connection) const {
    auto it = gatewayMetric.find(connection);
    return it == gatewayMetric.end() ? "1" : it->second;
  }
};

// Each block: its command lines joined by CR LF, none after the last; it may be empty or
// begin with an empty line (connection 1 gave none, connection 2 did).
std::string BuildAddressCommands(const ProfileRecord& profile, const NetshTarget& target = {});
std::string BuildDnsCommands(const ProfileRecord& profile);
std::string BuildWinsCommands(const ProfileRecord& profile);

// The whole script as entries: the fixed head, the three blocks and the closing "popd".
std::vector<std::string> BuildNetshScript(const ProfileRecord& profile);
// The same for the target: on Vista and later the same lines in the same cases, in the
// "interface ipv4" grammar; a connection the machine has no index for keeps its quoted name
// (netsh refuses it, as the checks said before).
std::vector<std::string> BuildNetshScript(const ProfileRecord& profile, const NetshTarget& target);

// The entries of Vista and later's settings (adapter, IPv6, Wi-Fi): the connections'
// adapters switched on first, off last; none for a profile that sets none of them.
std::vector<std::string> NewerSettingsBefore(const ProfileRecord& profile,
                                             const NetshTarget& target);
std::vector<std::string> NewerSettingsAfter(const ProfileRecord& profile,
                                            const NetshTarget& target);

// Each entry followed by CR LF, as 8-bit text.
std::string NetshScriptText(const std::vector<std::string>& entries);
// That text replacing the file whole; EFCreateError ("Cannot create file %s") when it cannot
// be written.
void WriteNetshScript(const std::string& path, const std::vector<std::string>& entries);

}  // namespace lanvoy
