// Get Current: reads the proxy, the mail servers, the computer name, the interface dump, the
// default printer and the hosts file, in this order, into a sink. A failure ends it where it
// happens; what the sink received before stays.
#pragma once

#include <string>

#include "platform/platform.h"
#include "sysread/current_settings.h"

namespace lanvoy {

class TAppExec;

struct ReadContext {
  platform::Platform& platform;
  std::string programDirectory;  // with its trailing separator
  std::string windowsDirectory;
  TAppExec& tempBat;  // runs netsh's dump: waits, minimized and hidden
};

void ReadCurrentSettings(ReadContext& context, CurrentSettingsSink& sink);

// Only the interface dump's connections, as Get Current reads them.
TNetworkInfoSet ReadInterfaceDump(ReadContext& context);

}  // namespace lanvoy
