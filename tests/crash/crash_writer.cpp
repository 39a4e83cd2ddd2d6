// The writer of the crash test: saves into one of the files the program writes, in a loop,
// and after each completed save writes its number to standard output, until it is killed.
// Usage: lanvoy_crash_writer store|options|registry|hosts FOLDER FIRST
//   store     FOLDER/Lanvoy.INI: save n adds profile "Standort n" (IP 10.<n>)
//   options   FOLDER/Lanvoy.GUI: save n sets LANName to "LAN-Verbindung n"
//   registry  the simulated host FOLDER/host: save n sets the value "v<n>" to n
//   hosts     the hosts file of that host: save n writes the rows 1..n
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/options.h"
#include "apply/hosts_file.h"
#include "platform/platform.h"
#include "profiles/profile_store.h"

namespace {

void Completed(unsigned long n) {
  const std::string line = std::to_string(n) + "\n";
  if (::write(1, line.data(), line.size()) < 0) std::exit(3);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const std::string kind = argv[1], folder = argv[2];
  unsigned long n = std::stoul(argv[3]);
  ::setenv("LANVOY_HOST", (folder + "/host").c_str(), 1);
  if (kind == "store") {
    lanvoy::TProfileStore store(folder + "/Lanvoy.INI");
    for (;; ++n) {
      lanvoy::ProfileRecord r;
      r.IP = "10." + std::to_string(n);
      r.LongLANDescription = "LAN-Verbindung 2";
      r.ScriptLines = {"echo ä ö ü ß", std::string(200, 'x')};
      store.SaveProfile("Standort " + std::to_string(n), r);
      Completed(n);
    }
  }
  if (kind == "options") {
    lanvoy::IniFile ini(folder + "/Lanvoy.GUI");
    for (;; ++n) {
      lanvoy::ProgramOptions options;
      options.LANName = "LAN-Verbindung " + std::to_string(n);
      lanvoy::WriteProgramOptions(ini, options);
      Completed(n);
    }
  }
  auto platform = lanvoy::platform::CreatePlatform();
  if (kind == "registry") {
    auto key = platform->registry().Open(lanvoy::platform::RootKey::CurrentUser,
                                         "Software\\Lanvoy\\Crash", true);
    if (!key) return 1;
    for (;; ++n) {
      if (!key->SetString("v" + std::to_string(n), std::to_string(n))) return 1;
      Completed(n);
    }
  }
  if (kind == "hosts") {
    auto& system = platform->system();
    std::vector<lanvoy::HostRow> rows;
    for (unsigned long i = 1; i < n; ++i)
      rows.push_back({"host" + std::to_string(i), "10.0.0." + std::to_string(i % 250), ""});
    for (;; ++n) {
      rows.push_back({"host" + std::to_string(n), "10.0.0." + std::to_string(n % 250), "ä"});
      lanvoy::WriteHostsFile(system, system.WindowsDirectory(), rows);
      Completed(n);
    }
  }
  return 2;
}
