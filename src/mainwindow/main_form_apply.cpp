// TMainForm: applying the shown profile, the tray, and the LAN state view.
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "apply/elevated_apply.h"
#include "apply/hosts_file.h"
#include "apply/printer_computer.h"
#include "base/strings.h"
#include "mainwindow/main_form.h"
#include "profiles/profile_store.h"

namespace lanvoy {

inline constexpr const char* kRestartQuestion =
    "Some settings in your profile require a restart of the computer.\r\nRestart now?";

ApplyOutcome TMainForm::ApplyProfile(bool showProgress) {
  ApplyContext context{
      platform_, ProgramDirectory(), sysInfo_.WindowsDirectory(), *netshExe_, *this, ApplyPause,
      {}};
  return lanvoy::ApplyProfile(ShownRecord(), showProgress, context);
}

// ---------------------------------------------------------------- safe apply

SafeApplyContext TMainForm::Readers() {
  return {platform_, sysInfo_.WindowsDirectory(), OnReadConnections};
}

SnapshotFile TMainForm::Snapshots() const {
  return SnapshotFile(SnapshotFile::PathFor(StorePathFor(exePath_)));
}

ApplyHistory TMainForm::History() const {
  return ApplyHistory(ApplyHistory::PathFor(StorePathFor(exePath_)));
}

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

MachineFacts TMainForm::ReadMachineFacts(std::vector<Finding>& findings) {
  MachineFacts facts;
  facts.connectionsKnown = static_cast<bool>(OnReadConnections);
  if (OnReadConnections) {
    try {
      facts.connections = OnReadConnections();
    } catch (const std::exception& e) {
      facts.connectionsKnown = false;
      findings.push_back({Finding::Warning, std::string("The present network settings could not "
                                                        "be read (") +
                                                e.what() + "): they are not checked."});
    }
  }
  facts.hostsPath = HostsFilePath(sysInfo_.WindowsDirectory());
  facts.hostsWritable = Writable(platform_.system().NativePath(facts.hostsPath));
  facts.printers = platform_.printers().Installed();
  facts.scriptRunner = [this](const std::string& ext) { return platform_.shell().CanOpen(ext); };
  return facts;
}

TMainForm::SafeApplyReport TMainForm::CheckedApply(const std::string& name, bool showProgress,
                                                   const GoAhead& goAhead) {
  SafeApplyReport report;
  const ProfileRecord record = ShownRecord();
  ApplyHistory history = History();
  const MachineFacts facts = ReadMachineFacts(report.findings);
  for (Finding& f : PreflightChecks(record, facts)) report.findings.push_back(std::move(f));
  if (!report.findings.empty() && !goAhead(report.findings)) {
    report.refused = true;
    history.Add("apply " + name + " refused by the checks", Messages(report.findings));
    return report;
  }
  // The snapshot takes the connections the checks have just read.
  SafeApplyContext readers = Readers();
  if (facts.connectionsKnown) readers.readConnections = [&facts] { return facts.connections; };
  Snapshot snapshot = TakeSnapshot(record, readers);
  snapshot.profile = name;
  Snapshots().Push(snapshot);

  SafeApplyContext after = Readers();
  ApplyContext context{
      platform_, ProgramDirectory(), sysInfo_.WindowsDirectory(), *netshExe_, *this, ApplyPause,
      {}};
  context.afterStages = [&](bool show) {
    ProgressStage(5, "Verifying the settings", show);
    report.differences = VerifyApplied(record, after);
  };
  try {
    report.outcome = lanvoy::ApplyProfile(record, showProgress, context);
  } catch (const std::exception& e) {
    history.Add("apply " + name + " failed", {e.what()});
    throw;
  }
  std::vector<std::string> details = Messages(report.findings);
  details.insert(details.end(), report.outcome.netshErrors.begin(),
                 report.outcome.netshErrors.end());
  details.insert(details.end(), report.differences.begin(), report.differences.end());
  history.Add("apply " + name + (report.differences.empty() ? ": verified" : ": not in place"),
              details);
  return report;
}

TMainForm::SafeApplyReport TMainForm::UndoLastApply(bool showProgress) {
  SnapshotFile file = Snapshots();
  const std::optional<Snapshot> last = file.Last();
  if (!last) throw Error("There is no apply to undo.");
  SafeApplyContext readers = Readers();
  Snapshot now = TakeSnapshotLike(*last, readers);
  now.profile = "undo of " + last->profile;
  SafeApplyReport report;
  {
    SetBusyCursor(true);
    struct Restore {
      TMainForm& form;
      ~Restore() { form.SetBusyCursor(false); }
    } restore{*this};
    ProgressRange(1, 5);
    ProgressStage(1, "Restoring the settings before the apply", showProgress);
    ApplyContext context{
        platform_, ProgramDirectory(), sysInfo_.WindowsDirectory(), *netshExe_, *this, ApplyPause,
        {}};
    report.outcome = RestoreSnapshot(*last, context);
    ProgressStage(5, "Verifying the settings", showProgress);
    report.differences = VerifyRestored(*last, readers);
    ProgressClose();
  }
  // Undone, the snapshot gives way to the state it replaced: an undo undoes the undo.
  file.PopLast();
  file.Push(now);
  History().Add("undo " + last->profile + " of " + last->taken +
                    (report.differences.empty() ? ": restored" : ": not in place"),
                report.differences);
  return report;
}

void TMainForm::ReportApply(const SafeApplyReport& report) {
  std::string text;
  // netsh's rejection of a line would otherwise pass for success.
  if (!report.outcome.NetshSucceeded()) {
    text = "netsh did not accept all network settings of the profile";
    if (report.outcome.netshExitCode != 0)
      text += " (exit code " + std::to_string(report.outcome.netshExitCode) + ")";
    text += ":";
    for (const std::string& line : report.outcome.netshErrors) text += "\r\n" + line;
  }
  if (!report.differences.empty()) {
    if (!text.empty()) text += "\r\n\r\n";
    text += "Not every setting is in place:";
    for (const std::string& line : report.differences) text += "\r\n" + line;
  }
  if (!text.empty()) questions_.MessageDlg(text, mtWarning, {mbOK});
}

bool TMainForm::ApplyWithNetshWarning(const std::string& name) {
  // Without an administrator's rights, a copy of the program that has them applies it.
  if (AppliesElevated(platform_.system())) {
    const ElevatedApplyReport report = ApplyElevated(platform_.shell(), exePath_, name);
    questions_.MessageDlg(report.message,
                          report.applied   ? mtInformation
                          : report.changed ? mtWarning
                                           : mtError,
                          {mbOK});
    return report.changed;
  }
  const ProfileRecord shown = ShownRecord();
  const SafeApplyReport report =
      CheckedApply(name, true, [this](const std::vector<Finding>& findings) {
        return questions_.Confirm("The checks of the profile found:\r\n\r\n" +
                                      FindingsText(findings) + "\r\nApply it anyway?",
                                  HasErrors(findings) ? mtError : mtWarning, "Apply anyway",
                                  "Cancel");
      });
  if (report.refused) return false;
  ReportApply(report);
  if (shown.ConfirmKeep) KeepOrRevert(shown.ConfirmSeconds);
  return true;
}

bool TMainForm::KeepOrRevert(int seconds) {
  TMessageDlg ask(questions_);
  ask.SetMsg(
      "Keep these settings?\r\n\r\nWithout an answer, the settings before the apply come "
      "back when the time is up.");
  ask.DlgType = mtConfirmation;
  ask.Buttons = {mbYes, mbNo};
  ask.TimeOut = static_cast<uint8_t>(std::clamp(seconds, 1, 255));
  ask.TimeOutResult = trNo;
  ask.ShowCountdown = true;
  if (ask.Execute() == mrYes) {
    History().Add("kept");
    return true;
  }
  UndoLastApplyClick();
  return false;
}

void TMainForm::UndoLastApplyClick() {
  const SafeApplyReport report = UndoLastApply(true);
  if (report.outcome.NetshSucceeded() && report.differences.empty())
    questions_.MessageDlg("The settings before the last apply are back.", mtInformation, {mbOK});
  else
    ReportApply(report);
}

void TMainForm::ButtonApplyClick(const Widget* sender) {
  if (CheckboxValidationMessage.Checked() && sender != &ButtonSave) {
    const std::string question = "Apply profile \"" + SelectedProfile() + "\" to your system?";
    if (questions_.MessageDlg(question, mtConfirmation, {mbYes, mbCancel}) != mrYes) return;
  }
  const bool restartNeeded = RestartNeeded(ShownRecord());
  // Stopped at the findings of the checks: nothing was applied, nothing follows.
  if (!ApplyWithNetshWarning(SelectedProfile())) return;
  if (restartNeeded &&
      questions_.MessageDlg(kRestartQuestion, mtConfirmation, {mbYes, mbNo}) == mrYes)
    RestartComputer(platform_.system());
  if (CheckMinimizeAfterApply.Checked()) ButtonMinimizeClick();
  if (CheckTerminate.Checked()) Close();
}

void TMainForm::SetDebugMode() {
  netshExe_->SetWait(false);
  netshExe_->SetWindowState(wsNormal);
  view_.SetCaption("Lanvoy- Debugmode");
}

// ---------------------------------------------------------------- tray

void TMainForm::BuildTrayProfileMenu(const std::vector<std::string>& names) {
  MenuApplyaprofile.Clear();
  for (const std::string& name : names)
    MenuApplyaprofile.Add(
        name, [this, name] { Guarded([this, name] { MenuApplyaprofileClick(name); }); });
}

void TMainForm::MenuApplyaprofileClick(const std::string& caption) {
  SelectListEntry(caption);
  ProfileListClick();
  ApplyWithNetshWarning(caption);
}

void TMainForm::ButtonMinimizeClick() {
  CompactWindow();
  if (CheckTray.Checked()) {
    // A desktop without a notification area would leave no way back to a hidden window:
    // then the window goes to the taskbar instead.
    inTray_ = trayIcon_->ShowIcon() || inTray_;
    if (inTray_) {
      view_.Hide();
      trayIcon_->ShowBalloonHint("Lanvoy", "Click here to access Lanvoys configuration dialog!",
                                 bitInfo, 1);
      return;
    }
  }
  trayIcon_->SetIconVisible(false);
  inTray_ = false;
  // To the taskbar: shown compact for a moment, then minimized.
  view_.Show();
  TimerMinimize.SetEnabled(true);
}

void TMainForm::TimerMinimizeTimer() {
  view_.Minimize();
  TimerMinimize.SetEnabled(false);
}

void TMainForm::ShowWindow1Click() {
  // Also out of the taskbar, when it was minimized from its title bar.
  view_.ShowNormal();
}

void TMainForm::TrayIconBalloonHintClick() {
  trayIcon_->HideBalloonHint();
}

void TMainForm::TimerSystrayWatchdogTimer() {
  trayIcon_->Enabled = false;
  trayIcon_->Enabled = true;
}

void TMainForm::FormContextPopup(int x, int y) {
  if (trayMenu_.AutoPopup()) PopUPTray.Popup(x, y);
}

// ---------------------------------------------------------------- ApplyObserver

void TMainForm::SetBusyCursor(bool busy) {
  view_.SetBusyCursor(busy);
}

void TMainForm::ProgressRange(int minimum, int maximum) {
  view_.Progress().SetRange(minimum, maximum);
}

void TMainForm::ProgressStage(int position, const std::string& label, bool visible) {
  view_.Progress().ShowStage(position, label, visible);
}

void TMainForm::ProgressClose() {
  view_.Progress().Close();
}

void TMainForm::ShowMailClientWarning(const std::string& text) {
  questions_.MessageDlg(text, mtWarning, {mbOK});
}

void TMainForm::RunBrowserRestartNotice() {
  dialogBrowserRestart_->Execute();
}

// ---------------------------------------------------------------- LAN state view

void TMainForm::CreateNetDetailsForm() {
  if (!lanState_) lanState_ = &view_.LanState();
}

void TMainForm::ShowLanState() {
  CreateNetDetailsForm();
  lanFeed_.Reset();
  lanState_->SetText(kLanStateHead);
  std::string history;
  for (const std::string& line : History().Lines()) history += line + "\n";
  lanState_->SetHistory(history);
  dosCommand_->SetTag(kLanStateTag);
  dosCommand_->SetCommandLine(kLanStateCommand);
  dosCommand_->Execute();
  lanState_->ShowModal();
}

void TMainForm::DosCommandNewLine(TDosCommand& sender, const std::string& piece, TOutputType type) {
  const LanStateFeed::Step step = lanFeed_.Accept(sender.Tag(), piece, type);
  if (!lanState_ || step.action == LanStateFeed::Action::Ignore) return;
  if (step.action == LanStateFeed::Action::ReplaceLast)
    lanState_->ReplaceLastLine(step.text);
  else
    lanState_->AppendLine(step.text);
}

}  // namespace lanvoy
