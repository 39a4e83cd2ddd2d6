// Reading the connection table out of the lines of "netsh -c interface dump".
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "sysread/network_info.h"

namespace lanvoy {

inline constexpr std::size_t kConnectionNameCapacity = 255;
inline constexpr std::size_t kConnectionValueCapacity = 30;

// The text between the line's first and second double quote; "" with fewer than two.
std::string ExtractConnectionName(const std::string& line);

// Index of the entry of exactly that name (letter case counts), appended when missing.
std::size_t FindOrAddConnection(TNetworkInfoSet& table, const std::string& name);

// Parses the dump lines in order into a new table, each line changing the connection it names
// itself. Windows XP's "set address/dns/wins" lines make and fill an entry, its "add address/
// dns" lines add to an entry made before. Windows 10's "add address ... address= mask=" and
// default routes ("add route prefix=0.0.0.0/0 interface= nexthop= [metric=]") make or fill a
// static one. Other lines (reset, set global, set interface) and those of other contexts
// than interface, interface ip and interface ipv4 (IPv6, IPHTTPS) make none.
TNetworkInfoSet ParseInterfaceDump(const std::vector<std::string>& lines);

}  // namespace lanvoy
