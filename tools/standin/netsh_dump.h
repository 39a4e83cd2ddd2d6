// The text of "netsh -c interface dump" of the machine the stand-ins play: a script that would set
// up the interfaces as they are, in the form Windows' netsh prints it. CR LF line ends.
// Windows XP's dump sets every connection's addresses, gateway, DNS and WINS servers; Windows
// 10's holds only the static addresses and gateways, nothing of DHCP, DNS or WINS.
#pragma once

#include <string>

#include "standin/network_state.h"

namespace lanvoy::standin {

// The whole dump of the "interface" context, its "ip" part included.
std::string InterfaceDump(const NetworkState& state);

// Only the part of the "interface ip" context.
std::string InterfaceIpDump(const NetworkState& state);

// Windows 10's: the interface, IPHTTPS and IPv4 parts.
std::string Windows10InterfaceDump(const NetworkState& state);

// Only what the "interface ipv4" context dumps.
std::string Windows10Ipv4Dump(const NetworkState& state);

}  // namespace lanvoy::standin
