#include "platform/sim/sim_platform.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <system_error>
#include <thread>

#include "base/error.h"
#include "base/files.h"
#include "base/strings.h"
#include "platform/code_pages.h"
#include "platform/sim/host.h"
#include "platform/sim/host_root.h"
#include "platform/sim/paths.h"
#include "platform/sim/scratch.h"
#include "profiles/ini_file.h"
#include "standin/network_state.h"

namespace lanvoy::sim {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDevicesKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Devices";
// Where Windows keeps the machine's code pages, and what a German Windows holds there.
constexpr const char* kCodePageKey = "SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage";
constexpr uint32_t kDefaultAnsiCodePage = 1252;
constexpr uint32_t kDefaultOemCodePage = 850;

// The extension of the file's name with its dot, in lower case ("" without one).
std::string Extension(const std::string& file) {
  std::string name = ExtractFileName(file);
  std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : LowerCase(name.substr(dot));
}

}  // namespace

// ---------------------------------------------------------------- SimShell

int SimShell::Open(const std::string& file, const std::string& parameters,
                   const std::string& directory, int showCommand) {
  const std::string logged = "open " + file + (parameters.empty() ? "" : " " + parameters);
  // The editor of Windows: this machine has none, so the request is recorded.
  const std::string name = ExtractFileName(file);
  if (SameText(name, "notepad.exe") || SameText(name, "notepad")) {
    AppendEvent(root_, logged);
    return kShellOk;
  }

  std::error_code ec;
  fs::path base =
      directory.empty() ? fs::current_path(ec) : fs::path(NativePathFor(root_, directory));
  if (!directory.empty() && !fs::is_directory(base, ec)) return kShellPathNotFound;

  ProgramLookup found;
  if (HasDirectoryPart(file)) {
    fs::path p(NativePathFor(root_, file));
    found = FindFile((p.is_relative() ? base / p : p).string(), true, {});
  } else {
    std::vector<fs::path> dirs = ProgramSearchDirs();
    dirs.insert(dirs.begin(), base);
    found = FindFile(file, false, dirs);
  }
  if (found.error) return static_cast<int>(found.error);  // 2 and 3 mean the same there
  const fs::path& target = found.path;

  const std::string ext = Extension(target.string());
  const bool batch = ext == ".bat" || ext == ".cmd";
  const bool program =
      !batch && access(target.c_str(), X_OK) == 0 && ext != ".vbs" && ext != ".js" && ext != ".ws";
  if (!batch && !program) {
    // A script or document whose interpreter or viewer this machine lacks.
    AppendEvent(root_, logged);
    return kShellOk;
  }
  platform::StartInfo info;
  info.commandLine = "\"" + target.string() + "\"" + (parameters.empty() ? "" : " " + parameters);
  info.showWindow = static_cast<uint16_t>(showCommand);
  uint32_t error = 0;
  auto process = processes_.StartIn(info, directory.empty() ? "" : base.string(), error);
  if (!process) return error > 0 && error < 32 ? static_cast<int>(error) : kShellNoAssociation;
  return kShellOk;  // not waited for; the child is collected when it ends
}

bool SimShell::CanOpen(const std::string& extension) {
  return SameText(extension, ".bat") || SameText(extension, ".cmd");
}

// ---------------------------------------------------------------- SimPrinters

std::vector<std::string> SimPrinters::Installed() {
  std::vector<std::string> names =
      registry_.ValueNames(platform::RootKey::CurrentUser, kDevicesKey);
  std::erase(names, std::string());  // a default value names no printer
  return names;
}

std::optional<std::string> SimPrinters::DefaultPrinter() {
  const std::string winIni = (root_ / kWinIniFile).string();
  if (!FileExists(winIni)) return std::nullopt;
  std::string device = IniFile(winIni).ReadString("windows", "device", "");
  std::string name = Trim(device.substr(0, device.find(',')));
  if (name.empty()) return std::nullopt;
  return name;
}

bool SimPrinters::WriteProfileString(const std::string& section, const std::string& key,
                                     const std::string& value) {
  try {
    IniFile((root_ / kWinIniFile).string()).WriteString(section, key, value);
    return true;
  } catch (const Error&) {
    return false;
  }
}

void SimPrinters::BroadcastSettingChange(const std::string& section) {
  AppendEvent(root_, "broadcast WM_WININICHANGE " + section);
}

bool SimPrinters::SetDefault(const std::string& name) {
  const std::vector<std::string> installed = Installed();
  if (std::find(installed.begin(), installed.end(), name) == installed.end()) return false;
  auto devices = registry_.Open(platform::RootKey::CurrentUser,
                                "Software\\Microsoft\\Windows NT\\CurrentVersion\\Devices", false);
  auto port = devices ? devices->Query(name) : std::nullopt;
  if (!WriteProfileString("windows", "device", name + "," + (port ? port->text : ""))) return false;
  BroadcastSettingChange("windows");
  return true;
}

// ---------------------------------------------------------------- SimSystem

std::string SimSystem::WindowsDirectory() {
  return kWindowsDirectory;
}

std::unique_ptr<platform::ScratchFolder> SimSystem::MakeScratchFolder(std::string& message) {
  return sim::MakeScratchFolder(root_, message);
}

namespace {

class SimMachineLock : public platform::MachineLock {
 public:
  explicit SimMachineLock(int fd) : fd_(fd) {}
  ~SimMachineLock() override { close(fd_); }  // and with it the lock

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<platform::MachineLock> SimSystem::LockApplies(std::chrono::milliseconds wait) {
  const fs::path file = root_ / "apply.lock";
  const int fd = open(file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) throw EFCreateError(file.string());
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      close(fd);
      return nullptr;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return std::make_unique<SimMachineLock>(fd);
}

std::string SimSystem::SystemDirectory() {
  return std::string(kWindowsDirectory) + "\\system32";
}

bool SimSystem::FindWindowByClass(const std::string& className) {
  if (className.empty()) return false;
  auto bytes = ReadFileBytes((root_ / kWindowListFile).string());
  if (!bytes) return false;
  for (const std::string& raw : SplitLines(*bytes)) {
    std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;
    if (SameText(line, className)) return true;
  }
  return false;
}

bool SimSystem::AdjustPrivilege(const std::string& name, bool /*enable*/) {
  static const char* const kPrivileges[] = {"SeAssignPrimaryTokenPrivilege",
                                            "SeAuditPrivilege",
                                            "SeBackupPrivilege",
                                            "SeChangeNotifyPrivilege",
                                            "SeCreateGlobalPrivilege",
                                            "SeCreatePagefilePrivilege",
                                            "SeCreatePermanentPrivilege",
                                            "SeCreateTokenPrivilege",
                                            "SeDebugPrivilege",
                                            "SeEnableDelegationPrivilege",
                                            "SeImpersonatePrivilege",
                                            "SeIncreaseBasePriorityPrivilege",
                                            "SeIncreaseQuotaPrivilege",
                                            "SeLoadDriverPrivilege",
                                            "SeLockMemoryPrivilege",
                                            "SeMachineAccountPrivilege",
                                            "SeManageVolumePrivilege",
                                            "SeProfileSingleProcessPrivilege",
                                            "SeRemoteShutdownPrivilege",
                                            "SeRestorePrivilege",
                                            "SeSecurityPrivilege",
                                            "SeShutdownPrivilege",
                                            "SeSyncAgentPrivilege",
                                            "SeSystemEnvironmentPrivilege",
                                            "SeSystemProfilePrivilege",
                                            "SeSystemtimePrivilege",
                                            "SeTakeOwnershipPrivilege",
                                            "SeTcbPrivilege",
                                            "SeUndockPrivilege"};
  for (const char* known : kPrivileges)
    if (SameText(name, known)) return true;
  return false;
}

bool SimSystem::ExitWindows(uint32_t flags, uint32_t reason) {
  struct Flag {
    uint32_t bit;
    const char* name;
  };
  static const Flag kFlags[] = {{0x01, "EWX_SHUTDOWN"},
                                {0x02, "EWX_REBOOT"},
                                {0x04, "EWX_FORCE"},
                                {0x08, "EWX_POWEROFF"},
                                {0x10, "EWX_FORCEIFHUNG"}};
  std::string names;
  uint32_t rest = flags;
  for (const auto& flag : kFlags) {
    if (flags & flag.bit) {
      names += (names.empty() ? "" : "|") + std::string(flag.name);
      rest &= ~flag.bit;
    }
  }
  if (names.empty() && rest == 0) names = "EWX_LOGOFF";
  if (rest != 0) names += (names.empty() ? "" : "|") + std::to_string(rest);
  std::string line = "ExitWindowsEx " + names;
  if (reason != 0) line += " reason " + std::to_string(reason);
  return AppendEvent(root_, line);
}

std::string SimSystem::ExecutablePath() {
  return RunningProgramPath().string();
}

std::optional<std::array<uint16_t, 4>> SimSystem::FileVersion(const std::string& path) {
  std::error_code ec;
  if (!fs::equivalent(fs::path(NativePath(path)), RunningProgramPath(), ec) || ec)
    return std::nullopt;
  // A version without a fourth number leaves the definition empty: "+ 0" makes that 0.
  return std::array<uint16_t, 4>{static_cast<uint16_t>(LANVOY_VERSION_MAJOR + 0),
                                 static_cast<uint16_t>(LANVOY_VERSION_MINOR + 0),
                                 static_cast<uint16_t>(LANVOY_VERSION_PATCH + 0),
                                 static_cast<uint16_t>(LANVOY_VERSION_TWEAK + 0)};
}

std::string SimSystem::NativePath(const std::string& path) {
  return NativePathFor(root_, path);
}

uint32_t SimSystem::CodePage(const char* value, uint32_t fallback) {
  auto key = registry_.Open(platform::RootKey::LocalMachine, kCodePageKey, false);
  if (!key) return fallback;
  auto data = key->Query(value);
  if (!data || data->type != platform::ValueType::String) return fallback;
  uint32_t number = 0;
  const std::string& text = data->text;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
  return ec == std::errc() && end == text.data() + text.size() && number > 0 ? number : fallback;
}

uint32_t SimSystem::AnsiCodePage() {
  return CodePage("ACP", kDefaultAnsiCodePage);
}

uint32_t SimSystem::OemCodePage() {
  return CodePage("OEMCP", kDefaultOemCodePage);
}

std::string SimSystem::ToUtf8(std::string_view text, uint32_t codePage) {
  return platform::CodePageToUtf8(text, codePage);
}

std::string SimSystem::FromUtf8(std::string_view utf8, uint32_t codePage) {
  return platform::Utf8ToCodePage(utf8, codePage);
}

// ---------------------------------------------------------------- SimPlatform

SimPlatform::SimPlatform(fs::path root)
    : root_(fs::absolute(root)),  // children get it as LANVOY_HOST, wherever they run
      registry_(root_ / kRegistryFile),
      processes_(root_),
      shell_(root_, processes_),
      printers_(root_, registry_),
      system_(root_, registry_),
      network_(root_) {
  EnsureHost(root_);
}

}  // namespace lanvoy::sim

namespace lanvoy::platform {

std::unique_ptr<Platform> CreatePlatform() {
  return std::make_unique<sim::SimPlatform>(sim::ResolveHostRoot());
}

std::vector<std::string> ProgramArguments(int argc, char** argv, System& system) {
  std::vector<std::string> args(argv + 1, argv + argc);
  // A locale of another code set, or none ("C"), passes the bytes as they are, as does an
  // argument that is no UTF-8 (already in the ANSI code page).
  if (!sim::LocaleIsUtf8()) return args;
  for (std::string& arg : args)
    if (sim::IsUtf8(arg)) arg = system.FromUtf8(arg, system.AnsiCodePage());
  return args;
}

uint32_t ConsoleCodePage(System& system) {
  return sim::LocaleIsUtf8() ? 65001 : system.AnsiCodePage();
}

}  // namespace lanvoy::platform

namespace lanvoy::sim {

platform::Shell::ElevatedRun SimShell::RunElevated(const std::string& program,
                                                   const std::string& parameters,
                                                   const std::string& handover) {
  ElevatedRun run;
  std::error_code ec;
  if (fs::exists(root_ / "elevation-refused", ec)) {
    run.refused = true;
    run.error = 1223;  // ERROR_CANCELLED
    return run;
  }
  // The handover on the child's standard input; its output goes where this process's goes.
  auto in = processes_.CreatePipe(run.error);
  if (!in) return run;
  platform::StartInfo info;
  info.commandLine =
      "\"" + program + "\"" + (parameters.empty() ? "" : " " + parameters) + " --handover -";
  info.showWindow = 0;
  info.stdinPipe = in.get();
  auto process = processes_.Start(info, run.error);
  if (!process) return run;
  run.started = true;
  in->CloseReadEnd();
  uint32_t written = 0;
  in->Write(handover.data(), static_cast<uint32_t>(handover.size()), written);
  in->CloseWriteEnd();
  process->Wait(platform::kInfinite);
  run.exitCode = process->ExitCode();
  return run;
}

std::optional<std::string> SimShell::ReceiveHandover(const std::string& token) {
  if (token != "-") return std::nullopt;
  std::string bytes;
  char buffer[4096];
  for (ssize_t n; (n = ::read(0, buffer, sizeof buffer)) != 0;) {
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    bytes.append(buffer, static_cast<size_t>(n));
  }
  return bytes;
}

bool SimSystem::Elevated() {
  std::error_code ec;
  return !fs::exists(root_ / "not-elevated", ec);
}

platform::System::Version SimSystem::WindowsVersion() {
  return RegistryWindowsVersion(registry_);
}

void SimSystem::InternetSettingsChanged() {
  AppendEvent(root_, "InternetSetOption INTERNET_OPTION_SETTINGS_CHANGED, INTERNET_OPTION_REFRESH");
}

bool SimSystem::SetComputerName(const std::string& name, std::string& message) {
  // ERROR_INVALID_PARAMETER: what Windows says to a name it will not take.
  const bool valid = !name.empty() && name.size() <= 63 &&
                     name.find_first_not_of(
                         "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                         "0123456789-") == std::string::npos &&
                     name.find_first_not_of("0123456789") != std::string::npos;
  if (!valid) {
    message = "The parameter is incorrect";
    return false;
  }
  auto computerName =
      registry_.Open(platform::RootKey::LocalMachine,
                     "System\\CurrentControlSet\\Control\\ComputerName\\ComputerName", true);
  auto tcpip = registry_.Open(platform::RootKey::LocalMachine,
                              "System\\CurrentControlSet\\Services\\Tcpip\\Parameters", true);
  if (!computerName || !tcpip ||
      !computerName->SetString("ComputerName", UpperCase(name.substr(0, 15))) ||
      !tcpip->SetString("NV Hostname", name)) {
    message = "Access is denied";
    return false;
  }
  return true;
}

std::vector<platform::NetworkAdapter> SimNetwork::Adapters() {
  const standin::NetworkState state =
      standin::NetworkState::LoadOrCreate(standin::NetworkStatePath(root_));
  std::vector<platform::NetworkAdapter> adapters;
  for (const standin::ConnectionState& c : state.connections) {
    platform::NetworkAdapter a;
    a.name = c.name;
    a.index = static_cast<uint32_t>(c.index);
    a.type = c.wireless ? platform::kIfTypeWifi : platform::kIfTypeEthernet;
    a.enabled = c.enabled;
    if (c.wireless) a.wlanProfiles = c.wlanProfiles;
    if (!c.enabled) {  // as Windows lists an adapter switched off: its name only
      adapters.push_back(std::move(a));
      continue;
    }
    a.dhcp = c.dhcp;
    for (const standin::AddressEntry& e : c.EffectiveAddresses())
      a.addresses.push_back({e.address, e.mask});
    a.gateway = c.EffectiveGateway();
    a.gatewayMetric = a.gateway.empty() ? 0 : static_cast<uint32_t>(c.gatewayMetric);
    a.dnsServers = c.EffectiveDnsServers();
    a.dnsStatic = !c.dnsFromDhcp;
    a.winsServers = c.EffectiveWinsServers();
    a.winsStatic = !c.winsFromDhcp;
    a.dnsSuffix = c.dnsSuffix;
    if (c.ipv6) {
      a.ipv6 = true;
      a.ipv6RouterDiscovery = c.routerDiscovery;
      for (const standin::Ipv6Entry& e : c.ipv6Addresses)
        a.ipv6Addresses.push_back({e.address, static_cast<uint32_t>(e.prefixLength), true});
      if (c.routerDiscovery && !c.routerAddress.address.empty())
        a.ipv6Addresses.push_back(
            {c.routerAddress.address, static_cast<uint32_t>(c.routerAddress.prefixLength), false});
      a.ipv6Gateway = c.EffectiveIpv6Gateway();
      a.ipv6GatewayManual = !c.ipv6Gateway.empty();
      a.ipv6DnsServers = c.EffectiveIpv6DnsServers();
      a.ipv6DnsStatic = !c.ipv6DnsFromDhcp;
    }
    if (c.wireless) a.wlanConnected = c.wlanConnected;
    adapters.push_back(std::move(a));
  }
  return adapters;
}

void SimNetwork::SetDnsSuffix(const std::string& connection, const std::string& suffix) {
  const std::filesystem::path file = standin::NetworkStatePath(root_);
  standin::NetworkState state = standin::NetworkState::LoadOrCreate(file);
  standin::ConnectionState* c = state.Find(connection);
  if (c == nullptr || !c->enabled)
    throw Error("Cannot set the DNS suffix of \"" + connection +
                "\": Windows has no such connection switched on.");
  c->dnsSuffix = suffix;
  state.Save(file);
}

}  // namespace lanvoy::sim
