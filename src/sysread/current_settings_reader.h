// Get Current: reads the proxy, the mail servers, the computer name, the interface dump, the
// default printer and the hosts file, in this order, into a sink. A failure ends it where it
// happens; what the sink received before stays.
#pragma once

#include <string>

#include "platform/platform.h"
#include "sysread/current_settings.h"

namespace lanvoy {

class TAppExec;

inline constexpr const char* kDumpBatchFile = "tmp.bat";
inline constexpr const char* kDumpOutputFile = "tmp.txt";

struct ReadContext {
  platform::Platform& platform;
  std::string programDirectory;  // with its trailing separator
  std::string windowsDirectory;
  TAppExec& tempBat;  // waits, minimized and hidden
};

// The one line of the dump batch file.
std::string DumpBatchLine(const std::string& dumpFile);

void ReadCurrentSettings(ReadContext& context, CurrentSettingsSink& sink);

// Only the interface dump's connections, as Get Current reads them.
TNetworkInfoSet ReadInterfaceDump(ReadContext& context);

}  // namespace lanvoy
