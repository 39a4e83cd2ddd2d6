// One apply session: the checks before, the snapshot, the stages, verify after, keep or
// revert, undo, and the history of each, for a profile record. The window, the tray and the
// command line all apply through it and only show what it reports.
#pragma once

#include <chrono>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "apply/apply_sequence.h"
#include "apply/preflight.h"
#include "apply/safe_apply.h"
#include "platform/platform.h"
#include "profiles/profile_record.h"
#include "sysread/network_info.h"

namespace lanvoy {

class TAppExec;

// Exit codes of an unattended apply or undo.
inline constexpr int kExitApplied = 0;
// A stage raised an error and the later stages were skipped, or the program could not start.
inline constexpr int kExitApplyFailed = 1;
// Every stage ran, but netsh rejected lines or a stage could not do its part (the hosts file,
// and on later Windows the mail account, the printer, the computer name).
inline constexpr int kExitNetshErrors = 2;
inline constexpr int kExitNotInPlace = 3;  // verify found settings not in place
inline constexpr int kExitRefused = 4;     // the checks found errors; nothing was changed
inline constexpr int kExitReverted = 5;    // not kept in time: the apply was undone
inline constexpr int kExitBusy = 6;        // another apply is running: nothing was changed

// What a session needs of the machine and of the program that runs it.
struct SessionContext {
  platform::Platform& platform;
  std::string exePath;  // the store, the snapshots and the history lie beside it
  std::string windowsDirectory;
  TAppExec& netshExe;
  ApplyObserver& observer;
  // The machine's connections as Get Current reads them; without it connections are neither
  // checked, kept nor verified.
  std::function<TNetworkInfoSet()> readConnections;
  std::chrono::milliseconds pause = kStagePause;
  // How long an apply waits for another one on this machine.
  std::chrono::milliseconds lockWait = std::chrono::seconds(60);
};

struct ApplyReport {
  bool busy = false;     // another apply held the machine: nothing was done
  bool refused = false;  // the checks found something, and the apply did not go on
  std::vector<Finding> findings;
  ApplyOutcome outcome;
  std::vector<std::string> differences;  // what is not in place afterwards
  // What went wrong beside the apply (the history could not be written, the undo file
  // was moved aside).
  std::vector<std::string> warnings;
  // What the tray shows: the profile, and the first connection's address as verify read it.
  std::string name, address;
  std::string profile;  // the profile applied, or the one whose apply was undone
};

// Decides whether an apply goes on despite the checks' findings.
using GoAhead = std::function<bool(const std::vector<Finding>& findings)>;

class ApplySession {
 public:
  explicit ApplySession(SessionContext context) : context_(std::move(context)) {}

  // The profile checked (goAhead decides on findings), kept in a snapshot, applied and
  // verified, each step in the history; name is the profile's as the history shows it.
  // Raises what stops the stages.
  ApplyReport Apply(const ProfileRecord& profile, const std::string& name, bool showProgress,
                    const GoAhead& goAhead);
  // Puts back the state before the apply `back` applies ago (1: the last) and verifies it;
  // its own snapshot takes the place of the snapshots put back only when all of it is back,
  // so that an undo of an undo restores the state before it and a failed undo can be tried
  // again. asked: the snapshot the user chose, which must still be that one. Raises when
  // there is no such apply, the user's choice is gone or the file is damaged (then nothing
  // is changed).
  ApplyReport Undo(bool showProgress, size_t back = 1, const Snapshot* asked = nullptr);
  // The checks an apply runs first, and nothing else: nothing is changed or noted.
  std::vector<Finding> Check(const ProfileRecord& profile);
  // The applied settings were confirmed in time.
  void Kept();
  // "Another apply is running" to err, and its exit code.
  static int BusyExitCode(std::ostream& err);

  SnapshotFile Snapshots() const;
  ApplyHistory History() const;

 private:
  // What the checks need to know of the machine; a failed read is a finding.
  MachineFacts ReadMachineFacts(std::vector<Finding>& findings);
  ApplyContext StageContext();
  SafeApplyContext Readers();
  // Readers whose connections, once read, give the report its address of connection.
  SafeApplyContext AddressReaders(ApplyReport& report, const std::string& connection);
  // A line of the history; one that cannot be written becomes a warning of the report.
  void Note(ApplyReport& report, const std::string& event,
            const std::vector<std::string>& details = {});

  SessionContext context_;
};

// What the window says after an apply or undo: netsh's complaints and what is not in place;
// "" when there is nothing to say.
std::string ApplyReportText(const ApplyReport& report);

// The exit code of an unattended apply's or undo's report; its messages go to err.
int UnattendedExitCode(const ApplyReport& report, std::ostream& err);

}  // namespace lanvoy
