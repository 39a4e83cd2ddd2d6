// The netsh script: the command file that "netsh -f" runs to set a profile's addresses.
// Values go in exactly as the profile holds them; netsh judges the lines.
#pragma once

#include <string>
#include <vector>

#include "profiles/profile_record.h"

namespace lanvoy {

// Each block: its command lines joined by CR LF, none after the last; it may be empty or
// begin with an empty line (connection 1 gave none, connection 2 did).
std::string BuildAddressCommands(const ProfileRecord& profile);
std::string BuildDnsCommands(const ProfileRecord& profile);
std::string BuildWinsCommands(const ProfileRecord& profile);

// The whole script as entries: the fixed head, the three blocks and the closing "popd".
std::vector<std::string> BuildNetshScript(const ProfileRecord& profile);

// Each entry followed by CR LF, as 8-bit text, replacing the file whole; EFCreateError
// ("Cannot create file %s") when it cannot be written.
void WriteNetshScript(const std::string& path, const std::vector<std::string>& entries);

}  // namespace lanvoy
