// TMainForm: operation from the tray, and the window's way into it and back.
#include "mainwindow/main_form.h"

namespace lanvoy {

void TMainForm::BuildTrayProfileMenu(const std::vector<std::string>& names) {
  MenuApplyaprofile.Clear();
  for (const std::string& name : names)
    MenuApplyaprofile.Add(
        name, [this, name] { Guarded([this, name] { MenuApplyaprofileClick(name); }); });
}

void TMainForm::TrayShowsApplied(const ApplyReport& report) {
  if (report.busy || report.name.empty()) return;
  trayIcon_->SetHint("Lanvoy - " + report.name +
                     (report.address.empty() ? "" : " - " + report.address));
}

void TMainForm::MenuApplyaprofileClick(const std::string& caption) {
  SelectListEntry(caption);
  ProfileListClick();
  ApplyWithNetshWarning(caption);
  EnableUndo();
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
  // A script may have applied meanwhile.
  EnableUndo();
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

}  // namespace lanvoy
