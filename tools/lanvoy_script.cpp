// Prints the netsh script that applying a profile would run:
//   lanvoy_script [--store FILE] [--demo] [PROFILE]
// Without a profile it lists the store's profiles, each with its script. --demo first
// adds the profiles "Office" and "Home" to the store when they are missing.
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "apply/netsh_script.h"
#include "base/error.h"
#include "base/files.h"
#include "base/strings.h"
#include "profiles/profile_store.h"

namespace {

namespace fs = std::filesystem;
using namespace lanvoy;

constexpr const char* kUsage = "Usage: lanvoy_script [--store FILE] [--demo] [PROFILE]\n";

// The running program's full path from argv[0], searching PATH for a bare name.
std::string OwnPath(const char* argv0) {
  const std::string name = argv0 ? argv0 : "lanvoy_script";
  std::error_code ec;
  if (name.find_first_of("/\\") != std::string::npos) return fs::absolute(name, ec).string();
  if (const char* path = std::getenv("PATH")) {
    std::string dirs = path;
    std::size_t start = 0;
    while (start <= dirs.size()) {
      std::size_t end = dirs.find(':', start);
      if (end == std::string::npos) end = dirs.size();
      fs::path candidate = fs::path(dirs.substr(start, end - start)) / name;
      if (fs::is_regular_file(candidate, ec)) return fs::absolute(candidate, ec).string();
      start = end + 1;
    }
  }
  return fs::absolute(name, ec).string();
}

ProfileRecord OfficeDemo() {
  ProfileRecord r;
  r.LongLANDescription = "LAN-Verbindung";
  r.DHCP = kModeStatic;
  r.IP = "192.168.10.25";
  r.Subnet = "255.255.255.0";
  r.Gateway = "192.168.10.1";
  r.DNS = "192.168.10.2";
  r.DNS2 = "192.168.10.3";
  r.Proxy = "proxy.office.example";
  r.ProxyPort = "8080";
  r.EnableProxy = true;
  r.ProxyNoLocal = true;
  r.ProxyNotUsed = "192.168.10.*\r\nintranet";
  return r;
}

ProfileRecord HomeDemo() {
  ProfileRecord r;
  r.LongLANDescription = "LAN-Verbindung";
  r.DHCP = kModeDhcp;
  r.Subnet = "255.255.255.0";
  r.DHCP_DNS = true;
  r.DHCP_WINS = true;
  return r;
}

void PrintScript(const ProfileRecord& record) {
  std::string text;
  for (const std::string& entry : BuildNetshScript(record)) text += entry + kCRLF;
  // The file's CR LF as this terminal's line ends; empty lines stay.
  for (const std::string& line : SplitLines(text)) std::cout << line << '\n';
}

int Run(int argc, char** argv) {
  std::string storePath;
  std::string profile;
  bool demo = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--store") {
      if (++i >= argc) {
        std::cerr << "--store needs the path of a profile store.\n" << kUsage;
        return 1;
      }
      storePath = argv[i];
    } else if (arg == "--demo") {
      demo = true;
    } else if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
      std::cerr << "Unknown option " << arg << ".\n" << kUsage;
      return 1;
    } else if (profile.empty()) {
      profile = arg;
    } else {
      std::cerr << "Only one profile can be named.\n" << kUsage;
      return 1;
    }
  }
  if (storePath.empty()) storePath = StorePathFor(OwnPath(argc > 0 ? argv[0] : nullptr));

  TProfileStore store(storePath);
  if (demo) {
    if (!store.ProfileExists("Office")) store.SaveProfile("Office", OfficeDemo());
    if (!store.ProfileExists("Home")) store.SaveProfile("Home", HomeDemo());
  }
  if (!FileExists(storePath)) {
    std::cerr << "No profile store at " << storePath
              << ". Name one with --store FILE, or create demo profiles with --demo.\n";
    return 1;
  }

  if (!profile.empty()) {
    if (!store.ProfileExists(profile)) {
      std::cerr << "The profile \"" << profile << "\" does not exist in " << storePath << ".\n";
      return 1;
    }
    PrintScript(store.LoadProfile(profile));
    return 0;
  }

  const std::vector<std::string> names = store.ProfileNames();
  if (names.empty()) {
    std::cout << "The profile store " << storePath << " holds no profiles.\n";
    return 0;
  }
  bool first = true;
  for (const std::string& name : names) {
    if (!first) std::cout << '\n';
    first = false;
    std::cout << "[" << name << "]\n";
    PrintScript(store.LoadProfile(name));
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::cerr << e.what() << '\n';
    return 1;
  }
}
