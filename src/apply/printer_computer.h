// The default printer, the computer name, and restarting the computer.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "profiles/profile_record.h"

namespace lanvoy {

inline constexpr const char* kDevicesKey =
    "\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Devices";
inline constexpr const char* kComputerNameReadKey =
    "\\System\\CurrentControlSet\\Control\\ComputerName\\ComputerName\\";
inline constexpr const char* kComputerNameKey =
    "\\System\\CurrentControlSet\\Control\\ComputerName\\ComputerName";
inline constexpr const char* kActiveComputerNameKey =
    "\\System\\CurrentControlSet\\Control\\ComputerName\\ActiveComputerName";
inline constexpr const char* kTcpipParametersKey =
    "\\System\\CurrentControlSet\\Services\\Tcpip\\Parameters";

// The items of the printer selector, in the order the system enumerates them.
std::vector<std::string> FillPrinterList(platform::Printers& printers);

// The printer Get Current shows: the default printer, else the first installed one.
std::optional<std::string> CurrentDefaultPrinter(platform::Printers& printers);

// "name,<Devices value>" into section "windows", key "device", then the broadcast.
// Reports nothing: a printer that is not installed is still written.
void SetDefaultPrinter(platform::Platform& platform, const std::string& name);

// Whether Windows 10 and later choose the default printer themselves: the user's
// LegacyDefaultPrinterMode is 0 or missing.
bool WindowsManagesDefaultPrinter(platform::Registry& registry);

// "" when the key cannot be opened.
std::string ReadComputerName(platform::Registry& registry);
// An empty name is written as "PC"; four values, in order.
void WriteComputerName(platform::Registry& registry, std::string name);

bool RestartNeeded(const ProfileRecord& profile);
bool SetPrivilege(platform::System& system, const std::string& privilege, bool enable);
// An orderly restart (EWX_REBOOT); nothing happens when the privilege cannot be had.
void RestartComputer(platform::System& system);

}  // namespace lanvoy
