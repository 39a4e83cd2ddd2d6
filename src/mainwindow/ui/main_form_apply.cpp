// TMainForm: applying the shown profile, the progress window, and the LAN state view.
#include <QApplication>
#include <QCursor>
#include <QMenu>

#include "apply/printer_computer.h"
#include "apply/ui/form_progress.h"
#include "base/strings.h"
#include "mainwindow/ui/main_form.h"
#include "sysread/lan_state.h"
#include "sysread/ui/form_net_details.h"

namespace lanvoy {

inline constexpr const char* kRestartQuestion =
    "Some settings in your profile require a restart of the computer.\r\nRestart now?";

ApplyOutcome TMainForm::ApplyProfile(bool showProgress) {
  ApplyContext context{platform_, ProgramDirectory(), sysInfo_.WindowsDirectory(), *netshExe_,
                       *this,     ApplyPause};
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

void TMainForm::ButtonApplyClick(QObject* sender) {
  if (CheckboxValidationMessage->isChecked() && sender != ButtonSave) {
    const std::string question = "Apply profile \"" + SelectedProfile() + "\" to your system?";
    if (questions_.MessageDlg(question, mtConfirmation, {mbYes, mbCancel}) != mrYes) return;
  }
  const bool restartNeeded = RestartNeeded(ShownRecord());
  ApplyWithNetshWarning();
  if (restartNeeded &&
      questions_.MessageDlg(kRestartQuestion, mtConfirmation, {mbYes, mbNo}) == mrYes)
    RestartComputer(platform_.system());
  if (CheckMinimizeAfterApply->isChecked()) ButtonMinimizeClick();
  if (CheckTerminate->isChecked()) close();
}

// ---------------------------------------------------------------- tray

void TMainForm::BuildTrayProfileMenu() {
  for (QAction* item : MenuApplyaprofile->actions()) {
    MenuApplyaprofile->removeAction(item);
    delete item;
  }
  for (const std::string& name : store_->ProfileNames()) {
    const QString caption = QString::fromStdString(name);
    // Qt reads "&" as a mnemonic mark: doubled, the caption shows the name as it is.
    QAction* item = new QAction(QString(caption).replace("&", "&&"), this);
    item->setData(caption);
    connect(item, &QAction::triggered, this,
            [this, item] { Guarded([this, item] { MenuApplyaprofileClick(item); }); });
    MenuApplyaprofile->addAction(item);
  }
}

void TMainForm::MenuApplyaprofileClick(QAction* item) {
  SelectListEntry(item->data().toString().toStdString());
  ProfileListClick();
  ApplyWithNetshWarning();
}

void TMainForm::ShowWindow1Click() {
  // Also out of the taskbar, when it was minimized from its title bar.
  showNormal();
  raise();
  activateWindow();
}

void TMainForm::TrayIconBalloonHintClick() {
  trayIcon_->HideBalloonHint();
}

void TMainForm::TimerSystrayWatchdogTimer() {
  trayIcon_->Enabled = false;
  trayIcon_->Enabled = true;
}

void TMainForm::SetDebugMode() {
  netshExe_->SetWait(false);
  netshExe_->SetWindowState(wsNormal);
  setWindowTitle("Lanvoy- Debugmode");
}

// ---------------------------------------------------------------- ApplyObserver

void TMainForm::SetBusyCursor(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void TMainForm::ProgressRange(int minimum, int maximum) {
  formProgress_->ProgressBar1->setMaximum(maximum);
  formProgress_->ProgressBar1->setMinimum(minimum);
}

void TMainForm::ProgressStage(int position, const std::string& label, bool visible) {
  formProgress_->ShowStage(position, QString::fromStdString(label), visible);
}

void TMainForm::ProgressClose() {
  formProgress_->hide();
}

void TMainForm::ShowMailClientWarning(const std::string& text) {
  questions_.MessageDlg(text, mtWarning, {mbOK});
}

void TMainForm::RunBrowserRestartNotice() {
  dialogBrowserRestart_->Execute();
}

// ---------------------------------------------------------------- LAN state view

void TMainForm::CreateNetDetailsForm() {
  if (formNetDetails_) return;
  formNetDetails_ = new TFormNetDetails(this);
  dosCommand_->SetOnNewLine(
      [this](TDosCommand& sender, const std::string& piece, TOutputType type) {
        formNetDetails_->DosCommandNewLine(sender.Tag(), piece, type);
      });
  // The capture reports a program that cannot start in the error box.
  dosCommand_->SetOnError([this](TDosCommand&, const std::string& message) {
    questions_.MessageDlg(message, mtError, {mbOK});
  });
}

void TMainForm::ShowLanState() {
  CreateNetDetailsForm();
  formNetDetails_->Restart();
  dosCommand_->SetTag(kLanStateTag);
  dosCommand_->SetCommandLine(kLanStateCommand);
  dosCommand_->Execute();
  formNetDetails_->exec();
}

}  // namespace lanvoy
