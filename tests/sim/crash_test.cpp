// Every file the program writes survives a kill at any moment: a writer saves in a loop and
// is killed with SIGKILL at random times; after each kill the file reads, holds every save
// the writer reported complete (and at most the one after it), and of temporary files only
// the dead writer's last one may stand, until the next write removes it. LANVOY_CRASH_KILLS
// sets the kills per file (50).
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <thread>

#include "app/options.h"
#include "apply/hosts_file.h"
#include "base/files.h"
#include "platform/platform.h"
#include "platform/sim/host_root.h"
#include "platform/sim/registry.h"
#include "profiles/profile_store.h"
#include "test_support/temp_dir.h"

namespace lanvoy {
namespace {

namespace fs = std::filesystem;

int Kills() {
  const char* text = std::getenv("LANVOY_CRASH_KILLS");
  return text ? std::atoi(text) : 50;
}

// Starts the writer, lets it run for delay, kills it; the last save it reported complete.
unsigned long RunAndKill(const std::string& kind, const fs::path& folder, unsigned long first,
                         std::chrono::microseconds delay) {
  int out[2];
  if (pipe(out) != 0) return 0;
  const std::string writer =
      (sim::RunningProgramPath().parent_path() / "lanvoy_crash_writer").string();
  const std::string from = std::to_string(first);
  const pid_t child = fork();
  if (child == 0) {
    dup2(out[1], 1);
    close(out[0]);
    close(out[1]);
    execl(writer.c_str(), writer.c_str(), kind.c_str(), folder.c_str(), from.c_str(), nullptr);
    _exit(127);
  }
  close(out[1]);
  std::this_thread::sleep_for(delay);
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  std::string reported;
  char buffer[4096];
  for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) reported.append(buffer, n);
  close(out[0]);
  EXPECT_TRUE(WIFSIGNALED(status)) << kind << ": the writer ended by itself, status " << status;
  const auto end = reported.find_last_of('\n');
  if (end == std::string::npos) return first - 1;
  const auto start = reported.find_last_of('\n', end - 1);
  return std::stoul(reported.substr(start == std::string::npos ? 0 : start + 1, end));
}

std::size_t TempFilesIn(const fs::path& folder) {
  std::size_t n = 0;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec))
    if (e.path().filename().string().find(".~") != std::string::npos) ++n;
  return n;
}

// The saves the file holds: n when it holds 1..n and nothing else of the writer's.
using Reader = std::function<unsigned long(const fs::path& folder)>;

void KillWhileSaving(const std::string& kind, const fs::path& folder, const fs::path& file,
                     const Reader& saves) {
  std::mt19937 random(std::random_device{}());
  unsigned long held = 0;
  const int kills = Kills();
  for (int k = 0; k < kills; ++k) {
    const auto delay = std::chrono::microseconds(
        std::uniform_int_distribution<int>(k < kills / 4 ? 0 : 2000, 30000)(random));
    const unsigned long reported = RunAndKill(kind, folder, held + 1, delay);
    SCOPED_TRACE(kind + ", kill " + std::to_string(k + 1) + " after " +
                 std::to_string(delay.count()) + " us");
    const unsigned long now = saves(folder);
    ASSERT_GE(reported, held);
    // Every save reported complete is there; one more may have completed unreported.
    ASSERT_TRUE(now == reported || now == reported + 1)
        << now << " saves, " << reported << " reported";
    held = now;
    ASSERT_LE(TempFilesIn(file.parent_path()), 1u);
  }
  // A writer that is not killed cleans up after the dead ones.
  RunAndKill(kind, folder, held + 1, std::chrono::milliseconds(300));
  const unsigned long last = saves(folder);
  ASSERT_GT(last, held) << "no save in 300 ms";
  EXPECT_LE(TempFilesIn(file.parent_path()), 1u);
}

TEST(CrashTest, ProfileStore) {
  test::TempDir dir;
  // A store of some size, so that a kill falls into a write more often than between them.
  {
    TProfileStore store(dir.File("Lanvoy.INI"));
    std::string bytes;
    for (int i = 0; i < 400; ++i)
      bytes += "[Gespeichert " + std::to_string(i) +
               "]\r\nIP=10.1.1.1\r\nLongLANDescription=" + "Drahtlose Netzwerkverbindung\r\n" +
               std::string(1000, ';') + "\r\n";
    dir.Write("Lanvoy.INI", bytes);
  }
  KillWhileSaving("store", dir.path(), dir.path() / "Lanvoy.INI", [](const fs::path& folder) {
    TProfileStore store((folder / "Lanvoy.INI").string());
    unsigned long n = 0;
    for (const std::string& name : store.ProfileNames()) {
      if (name.rfind("Standort ", 0) != 0) continue;
      ++n;
      EXPECT_EQ(name, "Standort " + std::to_string(n));
      EXPECT_EQ(store.LoadProfile(name).IP, "10." + std::to_string(n));
    }
    EXPECT_EQ(store.ProfileNames().size(), n + 400);
    return n;
  });
}

TEST(CrashTest, OptionsFile) {
  test::TempDir dir;
  KillWhileSaving("options", dir.path(), dir.path() / "Lanvoy.GUI", [](const fs::path& folder) {
    if (!fs::exists(folder / "Lanvoy.GUI")) return 0ul;
    const IniFile ini((folder / "Lanvoy.GUI").string());
    const std::string name = ReadProgramOptions(ini).LANName;
    // The options are several writes, the name the last: killed in the first save, the file
    // may hold some options but not yet the name.
    if (name == ProgramOptions().LANName) return 0ul;
    EXPECT_EQ(name.rfind("LAN-Verbindung ", 0), 0u) << name;
    return std::stoul(name.substr(15));
  });
}

TEST(CrashTest, SimulatedRegistry) {
  test::TempDir dir;
  KillWhileSaving(
      "registry", dir.path(), dir.path() / "host" / "registry.reg", [](const fs::path& folder) {
        sim::SimRegistry registry(folder / "host" / "registry.reg");
        unsigned long n = 0;
        for (const std::string& value :
             registry.ValueNames(platform::RootKey::CurrentUser, "Software\\Lanvoy\\Crash"))
          EXPECT_EQ(value, "v" + std::to_string(++n));
        return n;
      });
}

TEST(CrashTest, HostsFile) {
  test::TempDir dir;
  KillWhileSaving(
      "hosts", dir.path(),
      dir.path() / "host" / "WINDOWS" / "system32" / "drivers" / "etc" / "hosts",
      [](const fs::path& folder) {
        const auto file = folder / "host" / "WINDOWS" / "system32" / "drivers" / "etc" / "hosts";
        unsigned long n = 0;
        if (!fs::exists(file)) return n;
        for (const std::string& line : ReadTextLines(file.string())) {
          if (line.find("   host") == std::string::npos) continue;
          ++n;
          EXPECT_NE(line.find("   host" + std::to_string(n) + "   #"), std::string::npos) << line;
        }
        return n;
      });
}

}  // namespace
}  // namespace lanvoy
