// Our INI layer against Windows' own private profile functions on a store of 1,000
// profiles of 60 keys each: writing all keys of one profile (one ReplaceSection against 60
// WritePrivateProfileStringA calls) and reading them all back (60 ReadString calls, and one
// ReadSectionValues, against 60 GetPrivateProfileStringA calls). Then the profile store
// itself on 1,000 stored profiles: SaveProfile and LoadProfile of one profile against the
// same keys written (section erased, then one write per key) and read (one read per key) with
// Windows' functions. Prints medians and ratios.
// Usage: lanvoy_ini_bench [folder] [rounds]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/files.h"
#include "profiles/ini_file.h"
#include "profiles/profile_record.h"
#include "profiles/profile_store.h"

namespace {

constexpr int kProfiles = 1000;
constexpr int kKeys = 60;

std::string ProfileName(int p) {
  return "Profile " + std::to_string(p);
}
std::string KeyName(int k) {
  return "Key" + std::to_string(k);
}
std::string ValueOf(int p, int k, int round) {
  return "10." + std::to_string(p % 250) + "." + std::to_string(k) + "." + std::to_string(round);
}

lanvoy::IniFile::Entries EntriesOf(int p, int round) {
  lanvoy::IniFile::Entries entries;
  for (int k = 0; k < kKeys; ++k) entries.emplace_back(KeyName(k), ValueOf(p, k, round));
  return entries;
}

// Median milliseconds of rounds runs of body(round).
double MedianMs(int rounds, const std::function<void(int)>& body) {
  std::vector<double> times;
  for (int r = 0; r < rounds; ++r) {
    auto start = std::chrono::steady_clock::now();
    body(r);
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// A profile with every stage in use, as an office profile holds it.
lanvoy::ProfileRecord OfficeProfile(int round) {
  lanvoy::ProfileRecord p;
  p.LongLANDescription = "LAN-Verbindung";
  p.DHCP = lanvoy::kModeStatic;
  p.IP = "10.20.30." + std::to_string(40 + round % 100);
  p.Subnet = "255.255.255.0";
  p.Gateway = "10.20.30.1";
  p.DNS = "10.20.30.2";
  p.DNS2 = "10.20.30.3";
  p.WINS = "10.20.30.4";
  p.LongLANDescriptionLan2 = "WLAN";
  p.DHCPLan2 = lanvoy::kModeDhcp;
  p.Proxy = "cache.office";
  p.ProxyPort = "3128";
  p.EnableProxy = true;
  p.ProxyNotUsed = "10.*\r\nintranet";
  p.IncludeOLExp = true;
  p.OLEXPPOP = "pop.office";
  p.OLEXPSMTP = "smtp.office";
  p.IncludeHostModification = true;
  for (int h = 0; h < 10; ++h)
    p.Hosts.push_back({"host" + std::to_string(h), "10.20.30." + std::to_string(h), "note"});
  p.IncludeHostName = true;
  p.HostName = "OFFICE-PC";
  return p;
}

struct StoreFigures {
  double oursSave, winSave, oursLoad, winLoad;
  std::size_t keys;
  bool same;
};

// SaveProfile and LoadProfile of one profile in a store of kProfiles profiles, against
// Windows' functions doing the same on a copy of the store.
StoreFigures CompareStore(const std::filesystem::path& folder, int rounds) {
  const std::string one = (folder / "one.ini").string();
  const std::string ours = (folder / "store-ours.ini").string();
  const std::string theirs = (folder / "store-windows.ini").string();
  // One profile as the store writes it; its section's lines, repeated under other names,
  // make the store.
  lanvoy::TProfileStore single(one);
  single.SaveProfile("Profile", OfficeProfile(0));
  const lanvoy::IniFile::Entries lines = single.Ini().ReadSectionValues("Profile");
  std::string body;
  for (const auto& [key, value] : lines) body += key + "=" + value + "\r\n";
  std::string store;
  for (int p = 0; p < kProfiles; ++p) store += "[" + ProfileName(p) + "]\r\n" + body + "\r\n";
  lanvoy::WriteFileAtomic(ours, store);
  lanvoy::WriteFileAtomic(theirs, store);

  const std::string section = ProfileName(kProfiles / 2);
  lanvoy::TProfileStore storeOurs(ours);
  StoreFigures f{};
  f.keys = lines.size();
  f.oursSave = MedianMs(rounds, [&](int r) { storeOurs.SaveProfile(section, OfficeProfile(r)); });
  f.winSave = MedianMs(rounds, [&](int r) {
    lanvoy::TProfileStore scratch(one);
    scratch.SaveProfile("Profile", OfficeProfile(r));
    const auto entries = scratch.Ini().ReadSectionValues("Profile");
    WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, theirs.c_str());
    for (const auto& [key, value] : entries)
      WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), theirs.c_str());
  });
  std::size_t sink = 0;
  lanvoy::ProfileRecord loaded;
  f.oursLoad = MedianMs(rounds, [&](int) { loaded = storeOurs.LoadProfile(section); });
  f.winLoad = MedianMs(rounds, [&](int) {
    char buffer[2048];
    for (const auto& entry : lines)
      sink += GetPrivateProfileStringA(section.c_str(), entry.first.c_str(), "", buffer,
                                       sizeof buffer, theirs.c_str());
  });
  // The same profile on both sides, and it loads as it was saved.
  f.same = sink > 0 && loaded.IP == OfficeProfile(rounds - 1).IP && loaded.Hosts.size() == 10;
  for (const auto& [key, value] : storeOurs.Ini().ReadSectionValues(section)) {
    char buffer[2048];
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, sizeof buffer,
                             theirs.c_str());
    f.same = f.same && value == buffer;
  }
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "lanvoy-ini-bench";
  int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
  fs::create_directories(folder);
  const std::string ours = (folder / "ours.ini").string();
  const std::string theirs = (folder / "windows.ini").string();

  // One store, written once, copied for each side so both start from the same bytes.
  std::string store;
  for (int p = 0; p < kProfiles; ++p) {
    store.append("[").append(ProfileName(p)).append("]\r\n");
    for (int k = 0; k < kKeys; ++k) store += KeyName(k) + "=" + ValueOf(p, k, 0) + "\r\n";
    store += "\r\n";
  }
  if (!lanvoy::WriteFileAtomic(ours, store) || !lanvoy::WriteFileAtomic(theirs, store)) {
    std::fprintf(stderr, "cannot write the stores in %s\n", folder.string().c_str());
    return 1;
  }
  std::printf("store: %d profiles x %d keys, %zu bytes; median of %d rounds\n", kProfiles, kKeys,
              store.size(), rounds);

  lanvoy::IniFile ini(ours);
  const int target = kProfiles / 2;
  const std::string section = ProfileName(target);
  std::size_t sink = 0;

  double oursWrite =
      MedianMs(rounds, [&](int r) { ini.ReplaceSection(section, EntriesOf(target, r + 1)); });
  double winWrite = MedianMs(rounds, [&](int r) {
    for (const auto& [key, value] : EntriesOf(target, r + 1))
      WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), theirs.c_str());
  });
  double oursRead = MedianMs(rounds, [&](int) {
    for (int k = 0; k < kKeys; ++k) sink += ini.ReadString(section, KeyName(k), "").size();
  });
  double oursReadAll =
      MedianMs(rounds, [&](int) { sink += ini.ReadSectionValues(section).size(); });
  double winRead = MedianMs(rounds, [&](int) {
    char buffer[2048];
    for (int k = 0; k < kKeys; ++k)
      sink += GetPrivateProfileStringA(section.c_str(), KeyName(k).c_str(), "", buffer,
                                       sizeof buffer, theirs.c_str());
  });

  // One key, and one whole section, each on its own.
  const std::string oneKey = KeyName(kKeys / 2);
  double oursOne =
      MedianMs(rounds, [&](int) { sink += ini.ReadString(section, oneKey, "").size(); });
  double winOne = MedianMs(rounds, [&](int) {
    char buffer[2048];
    sink += GetPrivateProfileStringA(section.c_str(), oneKey.c_str(), "", buffer, sizeof buffer,
                                     theirs.c_str());
  });
  double winSection = MedianMs(rounds, [&](int) {
    std::vector<char> buffer(32768);
    sink += GetPrivateProfileSectionA(section.c_str(), buffer.data(),
                                      static_cast<DWORD>(buffer.size()), theirs.c_str());
  });

  // Both sides must hold the same profile afterwards, or the figures compare different work.
  bool same = true;
  for (int k = 0; k < kKeys; ++k) {
    char buffer[2048];
    GetPrivateProfileStringA(section.c_str(), KeyName(k).c_str(), "", buffer, sizeof buffer,
                             theirs.c_str());
    same = same && ini.ReadString(section, KeyName(k), "") == buffer;
  }

  std::printf("%-44s %10s %10s %8s\n", "operation", "ours ms", "Windows ms", "ours/Win");
  std::printf("%-44s %10.2f %10.2f %8.2f\n", "write 60 keys (ReplaceSection / 60 writes)",
              oursWrite, winWrite, oursWrite / winWrite);
  std::printf("%-44s %10.2f %10.2f %8.2f\n", "read 1 key (ReadString / 1 read)", oursOne, winOne,
              oursOne / winOne);
  std::printf("%-44s %10.2f %10.2f %8.2f\n", "read a section (ReadSectionValues / section)",
              oursReadAll, winSection, oursReadAll / winSection);
  std::printf("%-44s %10.2f %10.2f %8.2f\n", "read 60 keys (60 ReadString / 60 reads)", oursRead,
              winRead, oursRead / winRead);
  std::printf("%-44s %10.2f %10.2f %8.2f\n", "read 60 keys (ReadSectionValues / 60 reads)",
              oursReadAll, winRead, oursReadAll / winRead);
  std::printf("results agree: %s (%zu)\n", same ? "yes" : "NO", sink);

  const StoreFigures store1000 = CompareStore(folder, rounds);
  std::printf("profile store, %d profiles of %zu keys:\n", kProfiles, store1000.keys);
  std::printf("%-44s %10.2f %10.2f %8.2f\n", "SaveProfile (erase + one write per key)",
              store1000.oursSave, store1000.winSave, store1000.oursSave / store1000.winSave);
  std::printf("%-44s %10.2f %10.2f %8.2f\n", "LoadProfile (one read per key)", store1000.oursLoad,
              store1000.winLoad, store1000.oursLoad / store1000.winLoad);
  std::printf("store results agree: %s\n", store1000.same ? "yes" : "NO");
  same = same && store1000.same;
  std::error_code ec;
  fs::remove_all(folder, ec);
  return same ? 0 : 1;
}
