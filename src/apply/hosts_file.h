// The system's hosts file, replaced whole by the profile's host rows.
#pragma once

#include <string>
#include <vector>

#include "apply/hosts_lines.h"
#include "platform/platform.h"

namespace lanvoy {

// The Windows directory, "\system32\drivers\etc\", "hosts" (as the program names it).
std::string HostsFilePath(const std::string& windowsDirectory);

// The file's lines: every row with both a host name and an IP address, in row order.
std::vector<std::string> HostsFileLines(const std::vector<HostRow>& rows);

// Writes a new file beside the old one and renames it over; where that is refused, writes in
// place. A file that cannot be opened for writing stays as it was: EFCreateError.
void WriteHostsFile(platform::System& system, const std::string& windowsDirectory,
                    const std::vector<HostRow>& rows);

// EFOpenError ("Cannot open file %s") when the file cannot be read.
std::vector<std::string> ReadHostsFile(platform::System& system,
                                       const std::string& windowsDirectory);

}  // namespace lanvoy
