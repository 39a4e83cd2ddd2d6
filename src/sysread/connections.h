// The machine's connections, read one way for Get Current, the checks, the snapshot and
// verify alike: the interface dump on Windows 5 (2000, XP); on Vista and later the
// connections Windows lists, because their dump holds no DNS server, no WINS server and
// nothing that says an address came from DHCP.
#pragma once

#include <string>
#include <vector>

#include "apply/netsh_script.h"
#include "platform/platform.h"
#include "sysread/current_settings_reader.h"
#include "sysread/network_info.h"

namespace lanvoy {

// Whether this Windows is read and scripted as Windows 5 is.
bool UsesInterfaceDump(const platform::System::Version& version);

// The connections Network Connections shows (no loopback, no tunnel, no hidden adapter), in
// Windows' order. A connection whose name the ANSI code page cannot hold is left out, and
// said in problems: the store could not name it.
TNetworkInfoSet ConnectionTable(const std::vector<platform::NetworkAdapter>& adapters,
                                std::vector<std::string>& problems);

// problems may be null.
TNetworkInfoSet ReadConnections(ReadContext& context, std::vector<std::string>* problems = nullptr);

// The netsh an apply's script is written for, with the indexes of the connections read.
NetshTarget NetshTargetFor(const platform::System::Version& version,
                           const TNetworkInfoSet& connections);

}  // namespace lanvoy
