// TMainForm: applying the shown profile, and the LAN state view.
#include <algorithm>
#include <exception>

#include "apply/elevated_apply.h"
#include "apply/hosts_file.h"
#include "apply/printer_computer.h"
#include "base/strings.h"
#include "mainwindow/main_form.h"
#include "profiles/profile_store.h"

namespace lanvoy {

inline constexpr const char* kRestartQuestion =
    "Some settings in your profile require a restart of the computer.\r\nRestart now?";

ApplySession TMainForm::Session() {
  return ApplySession({platform_, exePath_, sysInfo_.WindowsDirectory(), *netshExe_, *this,
                       OnReadConnections, ApplyPause});
}

bool TMainForm::ApplyWithNetshWarning(const std::string& name) {
  // Without an administrator's rights, a copy of the program that has them applies it.
  if (AppliesElevated(platform_.system())) {
    // The profile as this window shows it goes over: not what the store holds by then.
    const ProfileRecord shown = ShownRecord();
    ElevatedApplyReport report;
    RunAnswering([&] { report = ApplyElevated(platform_.shell(), exePath_, name, shown); });
    questions_.MessageDlg(report.message,
                          report.applied   ? mtInformation
                          : report.changed ? mtWarning
                                           : mtError,
                          {mbOK});
    if (report.changed) {
      ApplyReport applied;
      applied.name = name;
      TrayShowsApplied(applied);
    }
    return report.changed;
  }
  const ProfileRecord shown = ShownRecord();
  const ApplyReport report =
      Session().Apply(shown, name, true, [this](const std::vector<Finding>& findings) {
        return questions_.Confirm("The checks of the profile found:\r\n\r\n" +
                                      FindingsText(findings) + "\r\nApply it anyway?",
                                  HasErrors(findings) ? mtError : mtWarning, "Apply anyway",
                                  "Cancel");
      });
  if (report.refused) return false;
  TrayShowsApplied(report);
  // The keep question and its countdown first, at once: the point is to come back quickly
  // when the network is lost. What is to be said follows, then the closing notice.
  const bool kept = report.busy || !shown.ConfirmKeep || KeepOrRevert(shown.ConfirmSeconds);
  if (const std::string text = ApplyReportText(report); !text.empty())
    questions_.MessageDlg(text, mtWarning, {mbOK});
  if (report.busy) return false;
  if (shown.ConfirmKeep && kept) Guarded([&] { ClosingNotice(shown, platform_, *this); });
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
    Session().Kept();
    return true;
  }
  // Not kept: undone without another question, the one of this apply.
  if (const std::optional<Snapshot> last = Session().Snapshots().Last()) UndoBack(1, *last);
  return false;
}

void TMainForm::UndoLastApplyClick() {
  const std::optional<Snapshot> last = Session().Snapshots().Last();
  EnableUndo();
  if (!last) {
    questions_.MessageDlg("There is no apply to undo.", mtInformation, {mbOK});
    return;
  }
  if (questions_.MessageDlg("Undo " + ApplyCalled(*last, NowText()) + "?", mtConfirmation,
                            {mbYes, mbNo}) != mrYes)
    return;
  UndoBack(1, *last);
}

void TMainForm::UndoBack(size_t back, const Snapshot& asked) {
  const ApplyReport report = Session().Undo(true, back, &asked);
  EnableUndo();
  TrayShowsApplied(report);
  const std::string what = ApplyCalled(asked, NowText());
  if (const std::string text = ApplyReportText(report); !text.empty()) {
    questions_.MessageDlg((report.busy ? "" : "Undoing " + what + ":\r\n\r\n") + text, mtWarning,
                          {mbOK});
    return;
  }
  std::string done = "The settings before " + what + " are back.";
  if (back > 1) done += " " + std::to_string(back) + " applies were undone.";
  questions_.MessageDlg(done, mtInformation, {mbOK});
}

void TMainForm::EnableUndo() {
  ButtonUndo.SetEnabled(Session().Snapshots().HoldsAny());
}

void TMainForm::ButtonApplyClick(const Widget* sender) {
  if (CheckboxValidationMessage.Checked() && sender != &ButtonSave) {
    const std::string question = "Apply profile \"" + SelectedProfile() + "\" to your system?";
    if (questions_.MessageDlg(question, mtConfirmation, {mbYes, mbCancel}) != mrYes) return;
  }
  const bool restartNeeded = RestartNeeded(ShownRecord());
  const bool applied = ApplyWithNetshWarning(SelectedProfile());
  EnableUndo();
  // Stopped at the findings of the checks: nothing was applied, nothing follows.
  if (!applied) return;
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

void TMainForm::RunAnswering(const std::function<void()>& work) {
  // Work that reaches here again is already on the worker.
  if (answering_) {
    work();
    return;
  }
  std::exception_ptr failed;
  answering_ = true;
  try {
    view_.RunAnswering([&] {
      try {
        work();
      } catch (...) {
        failed = std::current_exception();
      }
    });
  } catch (...) {
    answering_ = false;
    throw;
  }
  answering_ = false;
  if (failed) std::rethrow_exception(failed);
}

// ---------------------------------------------------------------- LAN state view

void TMainForm::CreateNetDetailsForm() {
  if (lanState_) return;
  lanState_ = &view_.LanState();
  ControlSet& controls = lanState_->Controls();
  controls.Get<ListBox>("ListSnapshots").OnClick = [this] {
    Guarded([this] { ListSnapshotsClick(); });
  };
  controls.Get<Button>("ButtonRestoreBefore").OnClick = [this] {
    Guarded([this] { ButtonRestoreBeforeClick(); });
  };
}

void TMainForm::ShowHistory() {
  std::string history;
  try {
    keptShown_ = Session().Snapshots().All();
  } catch (const ESnapshotDamaged& e) {
    keptShown_.clear();
    history = std::string(e.what()) + "\r\n\r\n";
  }
  std::vector<std::string> items;
  for (auto s = keptShown_.rbegin(); s != keptShown_.rend(); ++s)
    items.push_back(s->taken + "  " + s->profile);
  ControlSet& controls = lanState_->Controls();
  controls.Get<ListBox>("ListSnapshots").SetItems(items);
  controls.Get<Button>("ButtonRestoreBefore").SetEnabled(false);
  for (const std::string& line : Session().History().Lines()) history += line + "\r\n";
  controls.Get<Memo>("MemoHistory").SetText(history);
}

void TMainForm::ListSnapshotsClick() {
  lanState_->Controls()
      .Get<Button>("ButtonRestoreBefore")
      .SetEnabled(lanState_->Controls().Get<ListBox>("ListSnapshots").ItemIndex() >= 0);
}

void TMainForm::ButtonRestoreBeforeClick() {
  const int row = lanState_->Controls().Get<ListBox>("ListSnapshots").ItemIndex();
  if (row < 0 || static_cast<size_t>(row) >= keptShown_.size()) return;
  const size_t back = static_cast<size_t>(row) + 1;
  const Snapshot chosen = keptShown_[keptShown_.size() - back];
  std::string question = "Restore the state before " + ApplyCalled(chosen, NowText()) + "?";
  if (back > 1)
    question += "\r\n\r\nThis undoes it and the " + std::to_string(back - 1) +
                (back == 2 ? " apply after it." : " applies after it.");
  if (questions_.MessageDlg(question, mtConfirmation, {mbYes, mbNo}) != mrYes) return;
  // What the page shows afterwards is the file's, also when the undo raised.
  try {
    UndoBack(back, chosen);
  } catch (...) {
    ShowHistory();
    throw;
  }
  ShowHistory();
}

void TMainForm::ShowLanState() {
  CreateNetDetailsForm();
  lanFeed_.Reset();
  lanState_->SetText(kLanStateHead);
  ShowHistory();
  dosCommand_->SetTag(kLanStateTag);
  dosCommand_->SetCommandLine(SystemProgram(platform_.system(), "ipconfig.exe") + " /all");
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
