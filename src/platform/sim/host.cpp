#include "platform/sim/host.h"

#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <optional>
#include <string>
#include <system_error>

#include "base/error.h"
#include "base/files.h"
#include "platform/sim/host_root.h"
#include "profiles/ini_file.h"

namespace lanvoy::sim {

namespace fs = std::filesystem;

namespace {

constexpr const char* kFirstPrinter = "HP LaserJet 4050 Series PCL";

// The Windows a new host plays unless LANVOY_SIM_WINDOWS says.
constexpr const char* kDefaultWindows = "10";

// Outlook Express's account: Windows 10 and 11 have none.
constexpr const char* kMailAccount =
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Account Manager]\r\n"
    "\"Default Mail Account\"=\"00000001\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Account Manager\\Accounts\\00000001]\r\n"
    "\"Account Name\"=\"mail.example.com\"\r\n"
    "\"Connection Type\"=dword:00000003\r\n"
    "\"POP3 Server\"=\"pop.example.com\"\r\n"
    "\"POP3 User Name\"=\"user\"\r\n"
    "\"SMTP Server\"=\"smtp.example.com\"\r\n"
    "\"SMTP Display Name\"=\"Example User\"\r\n"
    "\"SMTP Email Address\"=\"user@example.com\"\r\n"
    "\r\n";

constexpr const char* kInitialRegistry =
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings]\r\n"
    "\"MigrateProxy\"=dword:00000001\r\n"
    "\"ProxyEnable\"=dword:00000000\r\n"
    "\"ProxyServer\"=\"proxy.example.com:8080\"\r\n"
    "\"ProxyOverride\"=\"<local>\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Devices]\r\n"
    "\"HP LaserJet 4050 Series PCL\"=\"winspool,Ne00:\"\r\n"
    "\"Canon iP4200\"=\"winspool,Ne01:\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\ComputerName\\ActiveComputerName]"
    "\r\n"
    "\"ComputerName\"=\"LANVOY-PC\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\ComputerName\\ComputerName]\r\n"
    "\"ComputerName\"=\"LANVOY-PC\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Nls\\CodePage]\r\n"
    "\"ACP\"=\"1252\"\r\n"
    "\"OEMCP\"=\"850\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Tcpip\\Parameters]\r\n"
    "\"DataBasePath\"=hex(2):25,53,79,73,74,65,6d,52,6f,6f,74,25,5c,53,79,73,74,65,6d,33,32,"
    "5c,64,72,69,76,65,72,73,5c,65,74,63,00\r\n"
    "\"Domain\"=\"\"\r\n"
    "\"Hostname\"=\"lanvoy-pc\"\r\n"
    "\"NV Hostname\"=\"lanvoy-pc\"\r\n"
    "\r\n";

// The registry of a new machine of that Windows: the version values (XP has no
// CurrentMajorVersionNumber), and on XP the mail program's account.
std::string NewRegistry() {
  const char* env = std::getenv(kWindowsVersionVariable);
  const std::string windows = env && *env ? env : kDefaultWindows;
  std::string key = "[HKEY_LOCAL_MACHINE\\" + std::string(kCurrentVersionKey) + "]\r\n";
  if (windows == "10") {
    key +=
        "\"CurrentMajorVersionNumber\"=dword:0000000a\r\n"
        "\"CurrentMinorVersionNumber\"=dword:00000000\r\n"
        "\"CurrentVersion\"=\"6.3\"\r\n"
        "\"CurrentBuildNumber\"=\"19045\"\r\n"
        "\"ProductName\"=\"Windows 10 Pro\"\r\n";
  } else if (windows == "xp") {
    key +=
        "\"CurrentVersion\"=\"5.1\"\r\n"
        "\"CurrentBuildNumber\"=\"2600\"\r\n"
        "\"ProductName\"=\"Microsoft Windows XP\"\r\n";
  } else {
    throw Error(std::string(kWindowsVersionVariable) + "=" + windows +
                ": the simulated Windows must be \"xp\" or \"10\".");
  }
  return std::string("REGEDIT4\r\n\r\n") + (windows == "xp" ? kMailAccount : "") +
         kInitialRegistry + key + "\r\n";
}

constexpr const char* kInitialHosts =
    "# Hosts file of this computer.\r\n"
    "#\r\n"
    "# Each line maps one IP address to a host name: the address first, then at least one\r\n"
    "# blank, then the name. Text after a '#' is a comment.\r\n"
    "#\r\n"
    "# For example:\r\n"
    "#\r\n"
    "#      10.1.2.3       fileserver.example.com    # office file server\r\n"
    "\r\n"
    "127.0.0.1       localhost\r\n";

constexpr const char* kInitialWindowList =
    "# Class names of the top-level windows that exist, one per line.\n";

void CreateFolder(const fs::path& dir) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec && !fs::is_directory(dir)) throw EFCreateError(dir.string());
}

void CreateFile(const fs::path& file, const std::string& bytes) {
  std::error_code ec;
  if (fs::exists(file, ec)) return;
  if (!WriteFileAtomic(file.string(), bytes)) throw EFCreateError(file.string());
}

// The stand-ins beside the program that makes the host play Windows' own programs in its
// system32, where the program starts them by their full path. Made once: what stands there
// is the machine's.
void InstallSystemPrograms(const fs::path& root) {
  const fs::path from = RunningProgramPath().parent_path();
  if (from.empty()) return;
  std::error_code ec;
  const fs::path system32 = root / kSystemFolder;
  for (const char* program : {"netsh", "ipconfig", "cmd", "Rundll32"}) {
    const fs::path target = system32 / program;
    if (fs::exists(from / program, ec) && !fs::exists(fs::symlink_status(target, ec)))
      fs::create_symlink(from / program, target, ec);
  }
}

}  // namespace

void EnsureHost(const fs::path& root) {
  CreateFolder(root);
  CreateFolder((root / kHostsFile).parent_path());
  std::error_code ec;
  // The variable counts only for a new host: after that, its registry says which Windows it is.
  if (!fs::exists(root / kRegistryFile, ec)) CreateFile(root / kRegistryFile, NewRegistry());
  CreateFile(root / kHostsFile, kInitialHosts);
  InstallSystemPrograms(root);
  CreateFile(root / kWindowListFile, kInitialWindowList);
  CreateFile(root / kEventLogFile, "");
  if (!fs::exists(root / kWinIniFile, ec)) {
    IniFile winIni((root / kWinIniFile).string());
    try {
      // One write: a failure leaves no half-made file.
      winIni.ReplaceSection("windows",
                            {{"load", ""},
                             {"run", ""},
                             {"NullPort", "None"},
                             {"device", std::string(kFirstPrinter) + ",winspool,Ne00:"}});
    } catch (const EIniFileError&) {
      throw EFCreateError((root / kWinIniFile).string());
    }
  }
}

platform::System::Version RegistryWindowsVersion(platform::Registry& registry) {
  using platform::ValueType;
  platform::System::Version version;  // XP
  auto key = registry.Open(platform::RootKey::LocalMachine, kCurrentVersionKey, false);
  if (!key) return version;
  auto number = [](const std::string& text, size_t& at) {
    uint32_t n = 0;
    auto [end, ec] = std::from_chars(text.data() + at, text.data() + text.size(), n);
    at = static_cast<size_t>(end - text.data());
    return ec == std::errc() ? std::optional<uint32_t>(n) : std::nullopt;
  };
  if (auto major = key->Query("CurrentMajorVersionNumber");
      major && major->type == ValueType::DWord) {
    version.major = major->dword;
    auto minor = key->Query("CurrentMinorVersionNumber");
    version.minor = minor && minor->type == ValueType::DWord ? minor->dword : 0;
  } else if (auto text = key->Query("CurrentVersion"); text && text->type == ValueType::String) {
    size_t at = 0;
    auto major = number(text->text, at);
    if (!major) return version;
    version.major = *major;
    ++at;
    version.minor = at < text->text.size() ? number(text->text, at).value_or(0) : 0;
  } else {
    return version;
  }
  if (auto build = key->Query("CurrentBuildNumber"); build && build->type == ValueType::String) {
    size_t at = 0;
    version.build = number(build->text, at).value_or(0);
  }
  return version;
}

bool AppendEvent(const fs::path& root, const std::string& line) {
  int fd = open((root / kEventLogFile).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const std::string bytes = line + "\n";
  ssize_t written = write(fd, bytes.data(), bytes.size());
  close(fd);
  return written == static_cast<ssize_t>(bytes.size());
}

}  // namespace lanvoy::sim
