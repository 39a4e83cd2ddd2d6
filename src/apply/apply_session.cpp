#include "apply/apply_session.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "apply/hosts_file.h"
#include "apply/mail_servers.h"
#include "apply/printer_computer.h"
#include "base/files.h"
#include "base/strings.h"
#include "components/appexec.h"
#include "platform/file_system.h"
#include "profiles/profile_store.h"
#include "sysread/connections.h"

namespace lanvoy {

namespace {

// Whether the hosts file can be replaced: not marked read-only, and open for writing.
bool Writable(const std::string& path) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (ec || !std::filesystem::exists(status))
    return std::filesystem::is_directory(std::filesystem::path(path).parent_path(), ec);
  if ((status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none)
    return false;
  return std::ofstream(path, std::ios::binary | std::ios::app).is_open();
}

std::vector<std::string> Messages(const std::vector<Finding>& findings) {
  std::vector<std::string> out;
  for (const Finding& f : findings) out.push_back(f.message);
  return out;
}

}  // namespace

SnapshotFile ApplySession::Snapshots() const {
  return SnapshotFile(SnapshotFile::PathFor(StorePathFor(context_.exePath)));
}

ApplyHistory ApplySession::History() const {
  return ApplyHistory(ApplyHistory::PathFor(StorePathFor(context_.exePath)));
}

ApplyContext ApplySession::StageContext() {
  return ApplyContext{context_.platform,
                      ExtractFilePath(context_.exePath),
                      context_.windowsDirectory,
                      context_.netshExe,
                      context_.observer,
                      context_.pause,
                      {}};
}

SafeApplyContext ApplySession::Readers() {
  return {context_.platform, context_.windowsDirectory, context_.readConnections};
}

SafeApplyContext ApplySession::AddressReaders(ApplyReport& report, const std::string& connection) {
  SafeApplyContext readers = Readers();
  if (!readers.readConnections) return readers;
  readers.readConnections = [read = readers.readConnections, &report, connection] {
    TNetworkInfoSet table = read();
    const auto named = std::find_if(table.begin(), table.end(), [&](const TNetworkInfo& c) {
      return c.LongLANDescription == connection;
    });
    if (named != table.end())
      report.address = named->IP;
    else if (!table.empty())
      report.address = table.front().IP;
    return table;
  };
  return readers;
}

MachineFacts ApplySession::ReadMachineFacts(std::vector<Finding>& findings) {
  platform::Platform& platform = context_.platform;
  MachineFacts facts;
  facts.connectionsKnown = static_cast<bool>(context_.readConnections);
  if (context_.readConnections) {
    try {
      facts.connections = context_.readConnections();
    } catch (const std::exception& e) {
      facts.connectionsKnown = false;
      findings.push_back({Finding::Warning, std::string("The present network settings could not "
                                                        "be read (") +
                                                e.what() + "): they are not checked."});
    }
  }
  facts.hostsPath = HostsFilePath(context_.windowsDirectory);
  facts.hostsWritable = Writable(platform.system().NativePath(facts.hostsPath));
  try {
    const auto rows = FillHostsGrid(ReadHostsFile(platform.system(), context_.windowsDirectory));
    facts.hostsMapsLocalhost = std::any_of(rows.begin(), rows.end(), NamesLocalhost);
  } catch (const std::exception&) {
    // No hosts file: nothing an apply could take away.
  }
  facts.printers = platform.printers().Installed();
  facts.scriptRunner = [&platform](const std::string& ext) {
    return platform.shell().CanOpen(ext);
  };
  facts.windows5 = platform.system().WindowsVersion().Windows5();
  facts.mailAccount = MailAccountExists(platform.registry());
  facts.windowsManagesPrinter = WindowsManagesDefaultPrinter(platform.registry());
  return facts;
}

void ApplySession::Note(ApplyReport& report, const std::string& event,
                        const std::vector<std::string>& details) {
  ApplyHistory history = History();
  if (!history.Add(event, details))
    report.warnings.push_back(
        "The history " + history.Path() + " could not be written (\"" + event + "\")" +
        (LinksRefused() && platform::IsLink(history.Path())
             ? ": it is a link, and Lanvoy with an administrator's rights writes no file "
               "through a link."
             : "."));
}

std::vector<Finding> ApplySession::Check(const ProfileRecord& profile) {
  std::vector<Finding> findings;
  const MachineFacts facts = ReadMachineFacts(findings);
  for (Finding& f : PreflightChecks(profile, facts)) findings.push_back(std::move(f));
  return findings;
}

ApplyReport ApplySession::Apply(const ProfileRecord& record, const std::string& name,
                                bool showProgress, const GoAhead& goAhead) {
  ApplyReport report;
  // One apply at a time on this machine, from the checks to the history's last line.
  const auto lock = context_.platform.system().LockApplies(context_.lockWait);
  if (!lock) {
    report.busy = true;
    Note(report, "apply " + name + " not started: another apply is running");
    return report;
  }
  const MachineFacts facts = ReadMachineFacts(report.findings);
  for (Finding& f : PreflightChecks(record, facts)) report.findings.push_back(std::move(f));
  if (!report.findings.empty() && !goAhead(report.findings)) {
    report.refused = true;
    Note(report, "apply " + name + " refused by the checks", Messages(report.findings));
    return report;
  }
  // The snapshot takes the connections the checks have just read.
  SafeApplyContext readers = Readers();
  if (facts.connectionsKnown) readers.readConnections = [&facts] { return facts.connections; };
  Snapshot snapshot = TakeSnapshot(record, readers);
  snapshot.profile = name;
  if (std::string said = Snapshots().Push(snapshot); !said.empty()) report.warnings.push_back(said);
  // Before the first change: a killed apply leaves this line without its outcome.
  Note(report, "apply " + name + " started");

  report.name = report.profile = name;
  SafeApplyContext after = AddressReaders(report, record.LongLANDescription);
  ApplyContext stages = StageContext();
  stages.netsh = NetshTargetFor(context_.platform.system().WindowsVersion(), facts.connections);
  // A profile whose settings stay only when confirmed asks that first; the notice follows.
  stages.closingNotice = !record.ConfirmKeep;
  stages.afterStages = [&](bool show) {
    context_.observer.ProgressStage(5, "Verifying the settings", show);
    report.differences = VerifyApplied(record, after);
  };
  try {
    report.outcome = ApplyProfile(record, showProgress, stages);
  } catch (const std::exception& e) {
    Note(report, "apply " + name + " failed", {e.what()});
    throw;
  }
  std::vector<std::string> details = Messages(report.findings);
  details.insert(details.end(), report.outcome.netshErrors.begin(),
                 report.outcome.netshErrors.end());
  details.insert(details.end(), report.outcome.stageProblems.begin(),
                 report.outcome.stageProblems.end());
  details.insert(details.end(), report.differences.begin(), report.differences.end());
  const std::string placed = report.differences.empty() ? "" : "not in place";
  Note(report,
       "apply " + name + ": " +
           (report.findings.empty()
                ? (placed.empty() ? "verified" : placed)
                : "applied despite findings" + (placed.empty() ? std::string() : ", " + placed)),
       details);
  return report;
}

ApplyReport ApplySession::Undo(bool showProgress, size_t back, const Snapshot* asked) {
  ApplyReport report;
  const auto lock = context_.platform.system().LockApplies(context_.lockWait);
  if (!lock) {
    report.busy = true;
    Note(report, "undo not started: another apply is running");
    return report;
  }
  SnapshotFile file = Snapshots();
  // A damaged snapshot raises here: nothing is changed.
  const std::vector<Snapshot> all = file.All();
  if (all.empty()) throw Error("There is no apply to undo.");
  if (back == 0 || back > all.size())
    throw Error("Only " + std::to_string(all.size()) +
                (all.size() == 1 ? " apply is" : " applies are") + " kept, so there is none " +
                std::to_string(back) + " back to undo; nothing was changed.");
  const std::vector<Snapshot> since(all.end() - static_cast<std::ptrdiff_t>(back), all.end());
  // Another apply came in between (a script, the tray): not what the user chose to undo.
  if (asked && !(since.front() == *asked))
    throw Error(
        "The applies kept have changed since; nothing was changed. Look again at what "
        "to undo.");
  const Snapshot before = StateBefore(since);
  const std::string later = back == 1 ? ""
                                      : " and the " + std::to_string(back - 1) +
                                            (back == 2 ? " apply after it" : " applies after it");
  const std::string what = before.profile + " of " + before.taken + later;
  SafeApplyContext readers = Readers();
  // One read of the connections for the undo's own snapshot and its script's indexes.
  const TNetworkInfoSet connections =
      readers.readConnections ? readers.readConnections() : TNetworkInfoSet{};
  SafeApplyContext current = readers;
  current.readConnections = [&connections] { return connections; };
  Snapshot now = TakeSnapshotLike(before, current);
  now.profile = "undo of " + before.profile + later;
  now.putBack = {StateBeforeAll(since)};
  ApplyObserver& observer = context_.observer;
  Note(report, "undo " + what + " started");
  {
    observer.SetBusyCursor(true);
    struct Restore {
      ApplyObserver& observer;
      ~Restore() { observer.SetBusyCursor(false); }
    } restore{observer};
    observer.ProgressRange(1, 5);
    observer.ProgressStage(1, "Restoring the settings before the apply", showProgress);
    ApplyContext stages = StageContext();
    stages.netsh = NetshTargetFor(context_.platform.system().WindowsVersion(), connections);
    report.outcome = RestoreSnapshot(before, stages);
    observer.ProgressStage(5, "Verifying the settings", showProgress);
    report.name = "undo of " + before.profile;
    report.profile = before.profile;
    SafeApplyContext verify = AddressReaders(
        report, before.connections.empty() ? "" : before.connections[0].LongLANDescription);
    report.differences = VerifyRestored(before, verify);
    observer.ProgressClose();
  }
  const bool restored = report.outcome.NetshSucceeded() && report.outcome.hostsError.empty() &&
                        report.outcome.stageProblems.empty() && report.differences.empty();
  // Put back whole, the snapshots give way to the state they replaced: an undo undoes the
  // undo. Otherwise they stay, for another try.
  if (restored) file.ReplaceNewest(back, now);
  std::vector<std::string> details = report.outcome.netshErrors;
  if (!report.outcome.hostsError.empty()) details.push_back(report.outcome.hostsError);
  details.insert(details.end(), report.outcome.stageProblems.begin(),
                 report.outcome.stageProblems.end());
  details.insert(details.end(), report.differences.begin(), report.differences.end());
  Note(report,
       "undo " + what +
           (restored    ? ": restored"
            : back == 1 ? ": not in place, the snapshot is kept"
                        : ": not in place, the snapshots are kept"),
       details);
  return report;
}

void ApplySession::Kept() {
  const auto lock = context_.platform.system().LockApplies(context_.lockWait);
  History().Add("kept");
}

int ApplySession::BusyExitCode(std::ostream& err) {
  err << "Another apply is running on this computer; nothing was changed." << '\n';
  return kExitBusy;
}

std::string ApplyReportText(const ApplyReport& report) {
  std::string text;
  if (report.busy) text = "Another apply is running on this computer; nothing was changed.";
  for (const std::string& warning : report.warnings)
    text += (text.empty() ? "" : "\r\n\r\n") + warning;
  // netsh's rejection of a line would otherwise pass for success.
  if (!report.outcome.NetshSucceeded()) {
    text = "netsh did not accept all network settings of the profile";
    if (report.outcome.netshExitCode != 0)
      text += " (exit code " + std::to_string(report.outcome.netshExitCode) + ")";
    text += ":";
    for (const std::string& line : report.outcome.netshErrors) text += "\r\n" + line;
  }
  for (const std::string& problem : report.outcome.stageProblems)
    text += (text.empty() ? "" : "\r\n\r\n") + problem;
  if (!report.differences.empty()) {
    if (!text.empty()) text += "\r\n\r\n";
    text += "Not every setting is in place:";
    for (const std::string& line : report.differences) text += "\r\n" + line;
  }
  return text;
}

int UnattendedExitCode(const ApplyReport& report, std::ostream& err) {
  for (const std::string& warning : report.warnings) err << warning << '\n';
  if (report.busy) return ApplySession::BusyExitCode(err);
  int code = kExitApplied;
  const ApplyOutcome& outcome = report.outcome;
  if (!outcome.NetshSucceeded()) {
    for (const std::string& line : outcome.netshErrors) err << line << '\n';
    if (outcome.netshErrors.empty())
      err << "netsh ended with exit code " << outcome.netshExitCode << '\n';
    code = kExitNetshErrors;
  }
  if (!outcome.hostsError.empty()) {
    err << outcome.hostsError << '\n';
    code = kExitNetshErrors;
  }
  for (const std::string& problem : outcome.stageProblems) {
    err << problem << '\n';
    code = kExitNetshErrors;
  }
  for (const std::string& line : report.differences) err << line << '\n';
  if (!report.differences.empty() && code == kExitApplied) code = kExitNotInPlace;
  return code;
}

}  // namespace lanvoy
