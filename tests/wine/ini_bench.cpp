// Our INI layer against Windows' own private profile functions on a store of 1,000
// profiles of 60 keys each: writing all keys of one profile (one ReplaceSection against 60
// WritePrivateProfileStringA calls) and reading them all back (60 ReadString calls, and one
// ReadSectionValues, against 60 GetPrivateProfileStringA calls). Prints medians and ratios.
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
  std::printf("%-44s %10.2f %10.2f %8.2f\n", "read 60 keys (60 ReadString / 60 reads)", oursRead,
              winRead, oursRead / winRead);
  std::printf("%-44s %10.2f %10.2f %8.2f\n", "read 60 keys (ReadSectionValues / 60 reads)",
              oursReadAll, winRead, oursReadAll / winRead);
  std::printf("results agree: %s (%zu)\n", same ? "yes" : "NO", sink);
  std::error_code ec;
  fs::remove_all(folder, ec);
  return same ? 0 : 1;
}
