#include "apply/printer_computer.h"

#include "platform/registry_access.h"

namespace lanvoy {

namespace {
constexpr uint32_t kEwxReboot = 2;
constexpr const char* kShutdownPrivilege = "SeShutdownPrivilege";
}  // namespace

std::vector<std::string> FillPrinterList(platform::Printers& printers) {
  return printers.Installed();
}

std::optional<std::string> CurrentDefaultPrinter(platform::Printers& printers) {
  if (auto name = printers.DefaultPrinter()) return name;
  auto installed = printers.Installed();
  if (!installed.empty()) return installed.front();
  return std::nullopt;
}

void SetDefaultPrinter(platform::Platform& platform, const std::string& name) {
  try {
    std::string value;
    TRegistry reg(platform.registry(), platform::RootKey::CurrentUser);
    if (reg.OpenKey(kDevicesKey, false)) value = reg.ReadString(name);
    reg.CloseKey();
    platform.printers().WriteProfileString("windows", "device", name + "," + value);
    platform.printers().BroadcastSettingChange("windows");
  } catch (...) {
    // The printer stage never stops an apply.
  }
}

bool WindowsManagesDefaultPrinter(platform::Registry& registry) {
  auto key = registry.Open(platform::RootKey::CurrentUser,
                           "\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", false);
  auto mode = key ? key->Query("LegacyDefaultPrinterMode") : std::nullopt;
  return !mode || mode->type != platform::ValueType::DWord || mode->dword == 0;
}

std::string ReadComputerName(platform::Registry& registry) {
  TRegistry reg(registry, platform::RootKey::LocalMachine);
  if (!reg.OpenKey(kComputerNameReadKey, true)) return std::string();
  return reg.ReadString("ComputerName");
}

void WriteComputerName(platform::Registry& registry, std::string name) {
  if (name.empty()) name = "PC";
  TRegistry reg(registry, platform::RootKey::LocalMachine);
  if (reg.OpenKey(kComputerNameKey, true)) reg.WriteString("ComputerName", name);
  reg.CloseKey();
  if (reg.OpenKey(kActiveComputerNameKey, true)) reg.WriteString("ComputerName", name);
  reg.CloseKey();
  if (reg.OpenKey(kTcpipParametersKey, true)) {
    reg.WriteString("Hostname", name);
    reg.WriteString("NV Hostname", name);
  }
}

bool RestartNeeded(const ProfileRecord& profile) {
  return profile.IncludeHostName;
}

bool SetPrivilege(platform::System& system, const std::string& privilege, bool enable) {
  return system.AdjustPrivilege(privilege, enable);
}

void RestartComputer(platform::System& system) {
  if (!SetPrivilege(system, kShutdownPrivilege, true)) return;
  system.ExitWindows(kEwxReboot, 0);
  SetPrivilege(system, kShutdownPrivilege, false);
}

}  // namespace lanvoy
