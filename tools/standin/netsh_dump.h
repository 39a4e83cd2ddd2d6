// The text of "netsh -c interface dump" of the machine the stand-ins play: a script that would set
// up the interfaces as they are, in the form Windows' netsh prints it. CR LF line ends.
#pragma once

#include <string>

#include "standin/network_state.h"

namespace lanvoy::standin {

// The whole dump of the "interface" context, its "ip" part included.
std::string InterfaceDump(const NetworkState& state);

// Only the part of the "interface ip" context.
std::string InterfaceIpDump(const NetworkState& state);

}  // namespace lanvoy::standin
