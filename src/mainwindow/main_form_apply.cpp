// TMainForm: applying the shown profile, and the LAN state view.
#include <algorithm>

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
    const ElevatedApplyReport report =
        ApplyElevated(platform_.shell(), exePath_, name, ShownRecord());
    questions_.MessageDlg(report.message,
                          report.applied   ? mtInformation
                          : report.changed ? mtWarning
                                           : mtError,
                          {mbOK});
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
  UndoLastApplyClick();
  return false;
}

void TMainForm::UndoLastApplyClick() {
  const std::string text = ApplyReportText(Session().Undo(true));
  if (text.empty())
    questions_.MessageDlg("The settings before the last apply are back.", mtInformation, {mbOK});
  else
    questions_.MessageDlg(text, mtWarning, {mbOK});
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
  for (const std::string& line : Session().History().Lines()) history += line + "\n";
  lanState_->SetHistory(history);
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
