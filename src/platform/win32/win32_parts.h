// The pieces of the Windows backend; CreatePlatform() puts them together.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace lanvoy::win32 {

std::unique_ptr<platform::Registry> MakeRegistry();
std::unique_ptr<platform::Processes> MakeProcesses();
std::unique_ptr<platform::Shell> MakeShell();
std::unique_ptr<platform::Printers> MakePrinters();
std::unique_ptr<platform::System> MakeSystem();
std::unique_ptr<platform::Network> MakeNetwork();

// A registry value as stored: its type (REG_SZ = 1, REG_DWORD = 4, REG_MULTI_SZ = 7 ...)
// and its bytes; text in the ANSI code page, with the NULs it was stored with.
struct RegistryData {
  unsigned long type = 0;
  std::string bytes;
};
// Opened for reading only, so that HKLM's keys need no administrator; nullopt when the key
// or the value is missing.
std::optional<RegistryData> ReadRegistryValue(platform::RootKey root, const std::string& path,
                                              const std::string& name);
// The names of a key's subkeys; none when it cannot be opened.
std::vector<std::string> RegistrySubKeys(platform::RootKey root, const std::string& path);

// The Windows the values of a CurrentVersion key name: CurrentMajorVersionNumber and
// CurrentMinorVersionNumber, else CurrentVersion ("6.1"); CurrentBuildNumber (0 when
// missing). XP (the Version's default) when they name none.
platform::System::Version RegistryWindowsVersion(platform::RootKey root, const std::string& path);

// A scratch folder below the Windows directory's Temp (platform::System), made with the
// access list ScratchFolderAccess() gives (SDDL).
std::unique_ptr<platform::ScratchFolder> MakeScratchFolder(std::string& message);
const char* ScratchFolderAccess();

// The system's text for an error code (FormatMessageA), without its line end.
std::string SystemErrorText(unsigned long code);

}  // namespace lanvoy::win32
