// What the safe apply promises to keep when things go wrong around it: an undo file that was
// damaged, an undo that fails, a disk that is full, two applies at once.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <thread>

#include "apply/apply_session.h"
#include "base/files.h"
#include "components/appexec.h"
#include "components/sys_info.h"
#include "platform/file_system.h"
#include "platform/sim/sim_platform.h"
#include "sysread/connections.h"
#include "test_support/host_windows.h"
#include "test_support/profiles.h"
#include "test_support/recorders.h"
#include "test_support/temp_dir.h"

namespace lanvoy {
namespace {

namespace fs = std::filesystem;

// Each snapshot's length and checksum made to fit its body again: a damage a checksum does not
// catch (the file edited by hand).
std::string Reseal(const std::string& file) {
  std::string out;
  size_t at = 0;
  while (at < file.size()) {
    const size_t head = file.find("[snapshot ", at);
    const size_t next = file.find("[snapshot ", head + 1);
    out += file.substr(at, head - at);
    const size_t body = file.find("\r\n", head) + 2;
    const std::string text =
        file.substr(body, (next == std::string::npos ? file.size() : next) - body);
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
    out += "[snapshot " + std::to_string(text.size()) + " " + std::to_string(hash) + "]\r\n" + text;
    at = next == std::string::npos ? file.size() : next;
  }
  return out;
}

// One machine and a session on it, as the program makes them.
struct Machine {
  explicit Machine(const test::TempDir& dir) : dir(dir) {
    for (TAppExec* exec : {&netsh, &tempBat}) {
      exec->SetWait(true);
      exec->SetHideIfMinimized(true);
      exec->SetWindowState(wsMinimized);
    }
    netsh.SetExeName(SystemProgram(platform.system(), "netsh.exe"));
    fs::create_directories(dir.path() / "prog");
    ReadContext ctx{platform, dir.File("prog/"), platform.system().WindowsDirectory(), tempBat};
    ReadConnections(ctx);  // the stand-ins make the network state
  }
  ApplySession Session(std::chrono::milliseconds lockWait = std::chrono::seconds(60)) {
    SessionContext context{platform,
                           dir.File("prog/Lanvoy.exe"),
                           platform.system().WindowsDirectory(),
                           netsh,
                           observer,
                           [this] {
                             ReadContext ctx{platform, dir.File("prog/"),
                                             platform.system().WindowsDirectory(), tempBat};
                             return ReadConnections(ctx);
                           },
                           std::chrono::milliseconds(0)};
    context.lockWait = lockWait;
    return ApplySession(context);
  }
  ApplyReport Apply(const ProfileRecord& p, const std::string& name) {
    return Session().Apply(p, name, false, [](const auto&) { return true; });
  }
  std::string State() {
    return dir.Read("host/network.ini") + dir.Read("host/registry.reg") +
           dir.Read("host/WINDOWS/system32/drivers/etc/hosts");
  }

  const test::TempDir& dir;
  sim::SimPlatform platform{dir.path() / "host"};
  TAppExec netsh{platform.processes()};
  TAppExec tempBat{platform.processes()};
  test::RecordingObserver observer;
};

class ApplyGuardTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  Machine machine{dir};
  std::string undoFile = dir.File("prog/Lanvoy.undo");
};

// Whatever was done to the undo file, an undo of it changes nothing and says which snapshot
// of which file it refused.
TEST_F(ApplyGuardTest, DamagedUndoFileIsRefusedAndChangesNothing) {
  ASSERT_TRUE(machine.Apply(test::TwoConnectionProfile(), "Office").differences.empty());
  const std::string good = dir.Read("prog/Lanvoy.undo");
  const size_t body = good.find("Profile=");
  ASSERT_NE(body, std::string::npos);
  const struct {
    const char* what;
    std::function<std::string(std::string)> damage;
    const char* says;
  } cases[] = {
      {"cut short", [](std::string f) { return f.substr(0, f.size() - 40); }, "cut short"},
      {"a hex digit changed",
       [&](std::string f) {
         f[body + 9] = f[body + 9] == 'a' ? 'b' : 'a';
         return f;
       },
       "checksum does not match"},
      {"a length that is none",
       [](std::string f) { return f.replace(f.find("[snapshot ") + 10, 1, "x"); },
       "a number that is none"},
      {"no hex digit, resealed", [&](std::string f) { return Reseal(f.replace(body + 9, 1, "g")); },
       "no hex number"},
      {"a count that is none, resealed",
       [](std::string f) { return Reseal(f.replace(f.find("Values=") + 7, 1, "x")); },
       "a number that is none"},
      {"garbage", [](std::string) { return std::string(1 << 20, '\x07'); }, "holds no snapshots"},
  };
  const std::string state = machine.State();
  for (const auto& c : cases) {
    dir.Write("prog/Lanvoy.undo", c.damage(good));
    try {
      machine.Session().Undo(false);
      ADD_FAILURE() << c.what << ": undone";
    } catch (const ESnapshotDamaged& e) {
      EXPECT_NE(std::string(e.what()).find(undoFile), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos)
          << c.what << ": " << e.what();
    }
    EXPECT_EQ(machine.State(), state) << c.what;
  }
  // The next apply moves what holds no snapshots aside and starts a new file, at once.
  dir.Write("prog/Lanvoy.undo", std::string(100 << 20, 'x'));
  const auto start = std::chrono::steady_clock::now();
  const ApplyReport report = machine.Apply(test::TwoConnectionProfile(), "Office");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  ASSERT_EQ(report.warnings.size(), 1u);
  EXPECT_NE(report.warnings[0].find("It was moved to " + undoFile + ".bad-"), std::string::npos)
      << report.warnings[0];
  EXPECT_EQ(SnapshotFile(undoFile).All().size(), 1u);
}

// A registry value of another type comes back as it was, and a failed undo keeps its snapshot
// for another try.
TEST_F(ApplyGuardTest, UndoPutsBackAnyValueAndAFailedOneKeepsItsSnapshot) {
  auto key = machine.platform.registry().Open(
      platform::RootKey::CurrentUser,
      "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", false);
  const platform::RegistryValue expandable{platform::ValueType::Other, "", 0, 0,
                                           "hex(2):25,00,70,00,00,00"};
  ASSERT_TRUE(key->SetRaw("ProxyServer", expandable));
  const std::string before = machine.State();
  machine.Apply(test::TwoConnectionProfile(), "Office");
  ASSERT_NE(machine.State(), before);

  // The hosts file cannot be put back: the undo says so and keeps the snapshot.
  const fs::path hosts = dir.path() / "host/WINDOWS/system32/drivers/etc/hosts";
  fs::remove(hosts);
  fs::create_directory(hosts);
  const ApplyReport failed = machine.Session().Undo(false);
  EXPECT_NE(failed.outcome.hostsError.find("Cannot create file"), std::string::npos);
  ASSERT_EQ(SnapshotFile(undoFile).All().size(), 1u);
  EXPECT_EQ(SnapshotFile(undoFile).All()[0].profile, "Office");
  EXPECT_NE(dir.Read("prog/Lanvoy.log").find("not in place, the snapshot is kept"),
            std::string::npos);

  fs::remove(hosts);
  const ApplyReport undone = machine.Session().Undo(false);
  EXPECT_TRUE(undone.differences.empty()) << undone.differences[0];
  EXPECT_EQ(machine.State(), before);
  EXPECT_EQ(*key->Query("ProxyServer"), expandable);
}

// A disk that fills up while the hosts file is written leaves the old file whole, both when a
// new file replaces it and when it is rewritten in place.
TEST_F(ApplyGuardTest, FullDiskLeavesTheOldHostsFileWhole) {
  const std::string old(5000, 'o');
  const std::string bigger(200000, 'n');
  for (const bool inPlace : {false, true}) {
    dir.Write("hosts", old);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // Writes beyond 64 KB fail as on a full disk.
      signal(SIGXFSZ, SIG_IGN);
      rlimit limit{65536, 65536};
      setrlimit(RLIMIT_FSIZE, &limit);
      const bool written = inPlace ? platform::RewriteFileInPlace(dir.File("hosts"), bigger)
                                   : WriteFileAtomic(dir.File("hosts"), bigger);
      _exit(written ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0) << (inPlace ? "in place" : "replaced") << ": written";
    EXPECT_EQ(dir.Read("hosts"), old) << (inPlace ? "in place" : "replaced");
  }
}

// Two applies at once (the tray and a script): one waits for the other, each keeps its
// snapshot and its history lines; one that waits too long changes nothing and says why.
TEST_F(ApplyGuardTest, TwoAppliesAtOnceTakeTurns) {
  ProfileRecord a = test::TwoConnectionProfile(), b = a;
  b.IP = "10.20.30.41";
  Machine other(dir);
  constexpr int kRounds = 50;
  for (int round = 0; round < kRounds; ++round) {
    ApplyReport first, second;
    std::thread one([&] { first = machine.Apply(a, "A"); });
    std::thread two([&] { second = other.Apply(b, "B"); });
    one.join();
    two.join();
    ASSERT_TRUE(!first.busy && !second.busy && first.outcome.NetshSucceeded() &&
                second.outcome.NetshSucceeded())
        << "round " << round;
  }
  int started = 0, ended = 0;
  for (const std::string& line : ApplyHistory(dir.File("prog/Lanvoy.log")).Lines()) {
    started += line.find(" started") != std::string::npos;
    ended +=
        line.find("apply A: ") != std::string::npos || line.find("apply B: ") != std::string::npos;
  }
  EXPECT_EQ(started, 2 * kRounds);
  EXPECT_EQ(ended, 2 * kRounds);
  EXPECT_EQ(SnapshotFile(undoFile).All().size(), kSnapshotsKept);

  const auto held = machine.platform.system().LockApplies(std::chrono::seconds(1));
  ASSERT_NE(held, nullptr);
  const std::string state = machine.State();
  const ApplyReport busy =
      other.Session(std::chrono::milliseconds(100)).Apply(a, "A", false, [](const auto&) {
        return true;
      });
  EXPECT_TRUE(busy.busy);
  EXPECT_EQ(machine.State(), state);
  std::ostringstream err;
  EXPECT_EQ(UnattendedExitCode(busy, err), kExitBusy);
  EXPECT_NE(dir.Read("prog/Lanvoy.log").find("apply A not started: another apply is running"),
            std::string::npos);
}

}  // namespace
}  // namespace lanvoy
