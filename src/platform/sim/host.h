// The files of the simulated host and its first-use setup.
#pragma once

#include <filesystem>
#include <string>

#include "platform/platform.h"

namespace lanvoy::sim {

inline constexpr const char* kRegistryFile = "registry.reg";
inline constexpr const char* kWindowsFolder = "WINDOWS";
inline constexpr const char* kWindowListFile = "windows.txt";
inline constexpr const char* kEventLogFile = "events.log";
// As the program names them (GetWindowsDirectoryA and what lies below it).
inline constexpr const char* kWindowsDirectory = "C:\\WINDOWS";
inline constexpr const char* kSystemFolder = "WINDOWS/system32";
inline constexpr const char* kHostsFile = "WINDOWS/system32/drivers/etc/hosts";
inline constexpr const char* kWinIniFile = "WINDOWS/win.ini";
// Which Windows a new host plays: "xp" or "10". Once the host exists, its registry says.
inline constexpr const char* kWindowsVersionVariable = "LANVOY_SIM_WINDOWS";
inline constexpr const char* kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// Creates the root and every missing file of a freshly installed machine; files that exist
// are left as they are. Raises EFCreateError for a file that cannot be written, Error for
// an unknown LANVOY_SIM_WINDOWS.
void EnsureHost(const std::filesystem::path& root);

// The Windows the registry's CurrentVersion key names (CurrentMajorVersionNumber, else
// "CurrentVersion" as "5.1"); XP when it names none, as a host made before it had them.
platform::System::Version RegistryWindowsVersion(platform::Registry& registry);

// Appends one line to events.log: what the simulation records instead of doing it. One
// write per line, so lines of several processes do not mix. false when it cannot be written.
bool AppendEvent(const std::filesystem::path& root, const std::string& line);

}  // namespace lanvoy::sim
