// TMainForm: applying the shown profile, the tray, and the LAN state view.
#include "apply/printer_computer.h"
#include "base/strings.h"
#include "mainwindow/main_form.h"

namespace lanvoy {

inline constexpr const char* kRestartQuestion =
    "Some settings in your profile require a restart of the computer.\r\nRestart now?";

ApplyOutcome TMainForm::ApplyProfile(bool showProgress) {
  ApplyContext context{platform_, ProgramDirectory(), sysInfo_.WindowsDirectory(), *netshExe_,
                       *this,     ApplyPause,         {}};
  return lanvoy::ApplyProfile(ShownRecord(), showProgress, context);
}

void TMainForm::ApplyWithNetshWarning() {
  const ApplyOutcome outcome = ApplyProfile(true);
  // netsh's rejection of a line would otherwise pass for success.
  if (outcome.NetshSucceeded()) return;
  std::string text = "netsh did not accept all network settings of the profile";
  if (outcome.netshExitCode != 0)
    text += " (exit code " + std::to_string(outcome.netshExitCode) + ")";
  text += ":";
  for (const std::string& line : outcome.netshErrors) text += "\r\n" + line;
  questions_.MessageDlg(text, mtWarning, {mbOK});
}

void TMainForm::ButtonApplyClick(const Widget* sender) {
  if (CheckboxValidationMessage.Checked() && sender != &ButtonSave) {
    const std::string question = "Apply profile \"" + SelectedProfile() + "\" to your system?";
    if (questions_.MessageDlg(question, mtConfirmation, {mbYes, mbCancel}) != mrYes) return;
  }
  const bool restartNeeded = RestartNeeded(ShownRecord());
  ApplyWithNetshWarning();
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

void TMainForm::BuildTrayProfileMenu() {
  MenuApplyaprofile.Clear();
  for (const std::string& name : store_->ProfileNames())
    MenuApplyaprofile.Add(
        name, [this, name] { Guarded([this, name] { MenuApplyaprofileClick(name); }); });
}

void TMainForm::MenuApplyaprofileClick(const std::string& caption) {
  SelectListEntry(caption);
  ProfileListClick();
  ApplyWithNetshWarning();
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
