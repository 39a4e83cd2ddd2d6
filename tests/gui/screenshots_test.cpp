// Pictures of the window for the documentation: only with LANVOY_SCREENSHOTS=<folder>.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTimer>

#include "app/qt/form_start_bild.h"
#include "apply/qt/form_progress.h"
#include "components/qt/qt_notification_area.h"
#include "platform/sim/sim_platform.h"
#include "sysread/qt/form_net_details.h"

#include "components/msg_dlg.h"
#include "mainwindow/qt/qt_questions.h"
#include "qt_window.h"
#include "test_support/fake_platform.h"
#include "test_support/profiles.h"
#include "test_support/temp_dir.h"

namespace lanvoy {
namespace {

TEST(Screenshots, WindowTabsAndDialogs) {
  const QString out = qEnvironmentVariable("LANVOY_SCREENSHOTS");
  if (out.isEmpty()) GTEST_SKIP() << "set LANVOY_SCREENSHOTS to a folder";
  test::GuiApp();
  QDir().mkpath(out);
  test::TempDir dir;
  test::FakePlatform platform;
  platform.exePath = dir.File("Lanvoy.exe");
  platform.printerNames = {"Laser Office", "Inkjet"};
  dir.Write("Lanvoy.GUI", "[Programm]\r\nMsgAdminNeeded=1\r\nMsgRestartBrowser=1\r\n");
  dir.Write("Lanvoy.INI", test::kScreenshotStore);
  QtQuestions questions;
  test::QtWindow qt(platform, questions, platform.exePath);
  QtMainWindow& form = *qt.window;
  questions.SetOwner(&form);
  form.show();
  QApplication::processEvents();
  form.grab().save(out + "/compact.png");
  qt.Find<QListWidget>("ProfileList")->setCurrentRow(2);  // Office
  qt.form->ButtonModifyClick();
  QApplication::processEvents();
  const char* names[] = {"network", "misc",   "printer", "internet", "mail",
                         "hosts",   "script", "options", "info"};
  auto* pages = qt.Find<QTabWidget>("PageControl1");
  for (int i = 0; i < pages->count(); ++i) {
    pages->setCurrentIndex(i);
    QApplication::processEvents();
    form.grab().save(out + "/full_" + names[i] + ".png");
  }
  pages->setCurrentIndex(0);
  qt.Find<QTabWidget>("PageControl2")->setCurrentIndex(1);
  QApplication::processEvents();
  form.grab().save(out + "/full_network_connection2.png");
  qt.form->ButtonCancelClick();

  auto shoot = [&](void (*setup)(TMessageDlg&), const QString& file) {
    TMessageDlg dlg(questions);
    setup(dlg);
    const MsgDlgBoxPlan plan = dlg.BoxPlan();
    std::unique_ptr<MsgDlgBox> box = questions.CreateBox(plan);
    box->SetCountdownText(std::to_string(dlg.TimeOut));
    auto* widget = dynamic_cast<QWidget*>(box.get());
    ASSERT_NE(widget, nullptr);
    widget->show();
    QApplication::processEvents();
    widget->grab().save(out + "/" + file);
  };
  shoot(SetupDialogAdmin, "dialog_admin.png");
  shoot(SetupDialogBrowserRestart, "dialog_browser_restart.png");

  // Safe apply: the findings of the checks (cancelled), then the question whether to keep the
  // settings of an apply (kept).
  auto answerNext = [&](const QString& file, const QString& press) {
    QTimer::singleShot(200, [&, file, press] {
      QWidget* box = QApplication::activeModalWidget();
      if (!box) return;
      box->grab().save(out + "/" + file);
      for (QPushButton* b : box->findChildren<QPushButton*>())
        if (QString(b->text()).remove('&') == press) return b->click();
    });
  };
  dir.Write(
      "Lanvoy.INI",
      dir.Read("Lanvoy.INI") +
          "[Far]\r\nLongLANDescription=LAN-Verbindung\r\nIP=10.0.0.5\r\nSubnet=255.255.255.0\r\n"
          "Gateway=10.9.9.1\r\nDNS=10.0.0.2\r\nIP2=10.0.0.6\r\nSubnet2=255.255.0.0\r\n"
          "[Keep]\r\nLongLANDescription=LAN-Verbindung\r\nIP=10.0.0.5\r\nSubnet=255.255.255.0\r\n"
          "ConfirmKeep=1\r\nConfirmSeconds=15\r\n");
  qt.Find<QCheckBox>("CheckboxValidationMessage")->setChecked(false);
  qt.Find<QCheckBox>("CheckTerminate")->setChecked(false);
  qt.form->LoadProfile("Far");
  answerNext("safe_apply_findings.png", "Cancel");
  qt.form->ButtonApplyClick(nullptr);
  qt.form->LoadProfile("Keep");
  answerNext("safe_apply_keep.png", "Yes");
  qt.form->ButtonApplyClick(nullptr);

  // The progress window in the middle of an apply.
  qt.form->ProgressRange(1, 5);
  qt.form->ProgressStage(3, "Processing Host file modification/ script execution", true);
  form.FormProgress()->grab().save(out + "/progress.png");
  qt.form->ProgressClose();

  TFormStartBild splash;
  splash.ShowNow();
  splash.grab().save(out + "/splash.png");

  // The page "IPv6 and more" of connection 1 in edit mode, on Windows 10.
  platform.windowsVersion = {10, 0, 19045};
  test::QtWindow later(platform, questions, platform.exePath);
  later.window->show();
  auto* list = later.Find<QListWidget>("ProfileList");
  list->setCurrentItem(list->findItems("Office", Qt::MatchExactly).value(0));
  later.form->ButtonModifyClick();
  later.Find<QTabWidget>("PageControl2")->setCurrentIndex(2);
  QApplication::processEvents();
  later.window->grab().save(out + "/full_network_more.png");
  later.form->ButtonCancelClick();
}

TEST(Screenshots, LanStateViewOnTheSimulatedHost) {
  const QString out = qEnvironmentVariable("LANVOY_SCREENSHOTS");
  if (out.isEmpty()) GTEST_SKIP() << "set LANVOY_SCREENSHOTS to a folder";
  test::GuiApp();
  test::TempDir dir;
  sim::SimPlatform machine(dir.path() / "host");
  dir.Write("Lanvoy.GUI", "[Programm]\r\nMsgAdminNeeded=1\r\n");
  dir.Write("Lanvoy.INI", "[Office]\r\n");
  QtQuestions questions;
  test::QtWindow qt(machine, questions, dir.File("Lanvoy.exe"), true);
  QTimer::singleShot(0, [&] {
    test::ProcessEventsUntil([&] { return !qt.form->DosCommand().Running(); }, 10000);
    QApplication::processEvents();
    qt.window->FormNetDetails()->grab().save(out + "/lan_state.png");
    qt.window->FormNetDetails()->WidgetNamed<QPushButton>("Button1")->click();
  });
  qt.form->ShowLanState();
}

// Needs a display with a notification area (scripts/screenshots starts one).
TEST(Screenshots, TrayIconWithItsMenu) {
  const QString out = qEnvironmentVariable("LANVOY_SCREENSHOTS");
  if (out.isEmpty()) GTEST_SKIP() << "set LANVOY_SCREENSHOTS to a folder";
  test::GuiApp();
  if (!QSystemTrayIcon::isSystemTrayAvailable()) GTEST_SKIP() << "no notification area";
  test::TempDir dir;
  test::FakePlatform platform;
  platform.exePath = dir.File("Lanvoy.exe");
  dir.Write("Lanvoy.GUI", "[Programm]\r\nMsgAdminNeeded=1\r\nTrayicon=1\r\n");
  dir.Write("Lanvoy.INI", "[Office]\r\n[Home]\r\n[Customer site]\r\n[R&D lab]\r\n");
  QtQuestions questions;
  QtNotificationArea area;
  test::QtWindow qt(platform, questions, platform.exePath, false, &area);
  qt.form->ButtonMinimizeClick();
  QSystemTrayIcon* icon = nullptr;
  test::ProcessEventsUntil(
      [&] {
        for (QSystemTrayIcon* i : area.findChildren<QSystemTrayIcon*>()) icon = i;
        return icon && icon->geometry().isValid() && icon->geometry().width() > 0;
      },
      5000);
  ASSERT_NE(icon, nullptr);
  test::ProcessEventsUntil([] { return false; }, 1500);  // the balloon goes, the icon is drawn
  const QRect at = icon->geometry();
  auto* tray = qt.Find<QMenu>("PopUPTray");
  auto* profiles = qt.Find<QMenu>("MenuApplyaprofile");
  tray->popup(at.bottomLeft() + QPoint(-120, 4));
  test::ProcessEventsUntil([&] { return tray->isVisible(); }, 2000);
  profiles->popup(tray->geometry().topLeft() - QPoint(160, 0));
  test::ProcessEventsUntil([] { return false; }, 500);
  QScreen* screen = QGuiApplication::primaryScreen();
  const QRect part(screen->geometry().right() - 420, 0, 420, 200);
  screen->grabWindow(0, part.x(), part.y(), part.width(), part.height())
      .save(out + "/tray_menu.png");
  profiles->hide();
  tray->hide();
}

}  // namespace
}  // namespace lanvoy
