// Safe apply: what the stages are about to change, read before each apply and kept (the
// snapshot), the settings read again afterwards and compared with what the profile asked
// for (verify), a snapshot put back (undo), and a history of all of it.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "apply/apply_sequence.h"
#include "apply/netsh_script.h"
#include "base/error.h"
#include "platform/platform.h"
#include "profiles/profile_record.h"
#include "sysread/network_info.h"

namespace lanvoy {

// A registry value as it stood: its place, and its type and data (none: it did not exist).
struct SavedValue {
  platform::RootKey root = platform::RootKey::CurrentUser;
  std::string key, name;
  std::optional<platform::RegistryValue> value;
  bool operator==(const SavedValue&) const = default;
};

struct Snapshot {
  std::string taken;                 // when, as the history writes it
  std::string profile;               // what was applied after it
  TNetworkInfoSet connections;       // the connections the apply touches, as the dump had them
  std::vector<SavedValue> registry;  // proxy, mail account and computer name values
  bool hasHosts = false;
  std::optional<std::string> hosts;  // the file's bytes; none: there was no file
  bool hostsTooLarge = false;        // larger than kHostsKept: not kept, not put back
  bool hasPrinter = false;
  std::optional<std::string> printer;  // the default printer
  // An undo's own snapshot: the same parts as they were before the applies it undid (one
  // entry), which a later go-back past it needs; its own values only say what the undo
  // changed.
  std::vector<Snapshot> putBack;
  bool operator==(const Snapshot&) const = default;
};

// How the readers and the stages reach the machine.
struct SafeApplyContext {
  platform::Platform& platform;
  std::string windowsDirectory;
  // The interface dump's connections, as Get Current reads them; without it connections are
  // neither kept nor verified.
  std::function<TNetworkInfoSet()> readConnections;
};

// What applying the profile would change, read now.
Snapshot TakeSnapshot(const ProfileRecord& profile, SafeApplyContext& context);

// The same parts as another snapshot, read now: what putting that one back changes.
Snapshot TakeSnapshotLike(const Snapshot& like, SafeApplyContext& context);

// Each value of the profile's stages that the machine does not hold, one line each
// ("WLAN: DNS is 10.0.0.2, the profile asks for 10.0.0.3").
std::vector<std::string> VerifyApplied(const ProfileRecord& profile, SafeApplyContext& context);
// The same against a snapshot put back: each part that differs from it.
std::vector<std::string> VerifyRestored(const Snapshot& snapshot, SafeApplyContext& context);

// The netsh script that sets the snapshot's connections as they were, every setting the
// snapshot holds, a cleared one as cleared.
std::vector<std::string> RestoreScript(const Snapshot& snapshot, NetshTarget target);
// Puts the snapshot back: the script through netsh (as stage 1 runs it), then the registry
// values, the hosts file's bytes and the default printer.
ApplyOutcome RestoreSnapshot(const Snapshot& snapshot, ApplyContext& context);

// The state before the first of these snapshots (oldest first, the applies after it up to
// now): a snapshot holds only what its profile touched, so each part (a connection by name,
// a registry value by its place, the hosts file, the printer) is taken from the oldest one
// that holds it; a later undo's part from what it put back. Its time and profile are the
// first one's.
Snapshot StateBefore(const std::vector<Snapshot>& since);
// The same from what each one put back, the first one included: an undo's `putBack`.
Snapshot StateBeforeAll(const std::vector<Snapshot>& since);

// What the window calls the apply a snapshot was taken for: "the apply of Office at 13:48",
// "the undo of Office at 13:48"; with its date when that is not today's (now: NowText()).
std::string ApplyCalled(const Snapshot& snapshot, const std::string& now);

// The snapshots beside the profile store, newest last; at most ten are kept.
// A snapshot that did not read back as it was written, or a file that holds no snapshots.
class ESnapshotDamaged : public Error {
 public:
  using Error::Error;
};

// Each snapshot is kept with its length and a checksum, and its numbers and bytes are read
// strictly: what was cut short or changed is refused, never put back.
class SnapshotFile {
 public:
  explicit SnapshotFile(std::string path) : path_(std::move(path)) {}
  static std::string PathFor(const std::string& storePath);  // X.INI -> X.undo
  const std::string& Path() const { return path_; }
  // Every snapshot, newest last; ESnapshotDamaged names the file and the snapshot.
  std::vector<Snapshot> All() const;
  std::optional<Snapshot> Last() const;
  // Whether the file holds a snapshot, without reading it (a damaged one counts).
  bool HoldsAny() const;
  // The snapshot appended, the oldest beyond ten dropped, in one write of the file. A file
  // that is no snapshot file, or a damaged one, is first moved aside (<file>.bad-<time>):
  // what is returned then says so; "" else. EFCreateError when it cannot be written.
  std::string Push(const Snapshot& snapshot);
  // The newest `count` snapshots replaced by this one, in one write (an undo put them back:
  // its own takes their place).
  void ReplaceNewest(size_t count, const Snapshot& snapshot);

 private:
  void Write(const std::vector<Snapshot>& snapshots) const;
  std::string path_;
};
inline constexpr size_t kSnapshotsKept = 10;
// A hosts file larger than this is not kept for an undo (the checks say so before).
inline constexpr size_t kHostsKept = 1 << 20;

// The apply history beside the profile store: one line per event, appended.
class ApplyHistory {
 public:
  explicit ApplyHistory(std::string path) : path_(std::move(path)) {}
  static std::string PathFor(const std::string& storePath);  // X.INI -> X.log
  // "2026-12-09 10:00:00  apply Office: verified" and the like; false when the line could
  // not be written.
  bool Add(const std::string& event, const std::vector<std::string>& details = {});
  std::vector<std::string> Lines() const;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

std::string NowText();

// The file by which "--keep" tells a waiting unattended apply to keep its settings: X.INI ->
// X.keep beside it.
std::string KeepFilePath(const std::string& storePath);
// Time as the wait for "--keep" sees it.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::chrono::steady_clock::time_point Now() = 0;
  virtual void Sleep(std::chrono::milliseconds duration) = 0;
};
Clock& SystemClock();

// Marks an unattended apply that waits for "--keep" (X.INI -> X.waiting, holding its process
// id) while the object lives.
class KeepWait {
 public:
  explicit KeepWait(const std::string& storePath);
  ~KeepWait();
  KeepWait(const KeepWait&) = delete;
  KeepWait& operator=(const KeepWait&) = delete;

 private:
  std::string path_;
};
// Whether an apply waits for "--keep" now.
bool KeepWaiting(const std::string& storePath);

// Whether "--keep" came within the time (it is removed then); polls the file.
bool WaitForKeep(const std::string& keepFile, std::chrono::milliseconds within,
                 Clock& clock = SystemClock());

}  // namespace lanvoy
