// Pictures of the window for the documentation: only with LANVOY_SCREENSHOTS=<folder>.
#include <gtest/gtest.h>

#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPixmap>

#include "components/msg_dlg.h"
#include "fake_platform.h"
#include "gui_app.h"
#include "mainwindow/ui/main_form.h"
#include "mainwindow/ui/qt_questions.h"
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
  dir.Write("Lanvoy.GUI", "[Programm]\r\nMsgAdminNeeded=1\r\n");
  dir.Write(
      "Lanvoy.INI",
      "[Office]\r\nIP=10.0.0.5\r\nSubnet=255.255.255.0\r\nGateway=10.0.0.1\r\nDNS=10.0.0.2\r\n"
      "LongLANDescription=LAN-Verbindung\r\nDHCP=0\r\nIncludeHostModification=1\r\n"
      "HostsCount=2\r\nH1='10.0.0.7   printer   #lab'\r\nH2='10.0.0.8   nas   #'\r\n"
      "IncludeSript=1\r\nScriptLinesCount=2\r\nS1='net use x: \\\\srv\\share'\r\n"
      "S2='echo done'\r\nProxy=proxy.office\r\nProxyPort=3128\r\nEnableProxy=1\r\n"
      "ProxyNotUsed=10.*;intranet\r\nOLEXPPOP=pop.office\r\nIncludeOLExp=1\r\n"
      "[Home]\r\nDHCP=1\r\nDHCP_DNS=1\r\nDHCP_WINS=1\r\n[Customer site]\r\nIP=1.2.3.4\r\n");
  QtQuestions questions;
  TMainForm form(platform, questions, platform.exePath, {});
  questions.SetOwner(&form);
  form.FormCreate();
  form.show();
  QApplication::processEvents();
  form.grab().save(out + "/compact.png");
  form.ProfileList->setCurrentRow(2);  // Office
  form.ButtonModifyClick();
  QApplication::processEvents();
  const char* names[] = {"network", "misc",   "printer", "internet", "mail",
                         "hosts",   "script", "options", "info"};
  for (int i = 0; i < form.PageControl1->count(); ++i) {
    form.PageControl1->setCurrentIndex(i);
    QApplication::processEvents();
    form.grab().save(out + "/full_" + names[i] + ".png");
  }
  form.PageControl1->setCurrentIndex(0);
  form.PageControl2->setCurrentIndex(1);
  QApplication::processEvents();
  form.grab().save(out + "/full_network_connection2.png");
  form.ButtonCancelClick();

  auto shoot = [&](void (*setup)(TMessageDlg&), const QString& file) {
    TMessageDlg dlg(questions);
    setup(dlg);
    MsgDlgBoxSpec plan;
    plan.caption = "Information";
    plan.type = mtInformation;
    plan.message = dlg.Msg();
    plan.row = MsgDlgButtonsOf(dlg.Buttons);
    plan.checkBox = true;
    plan.checkBoxCaption = dlg.CheckBoxCaption();
    plan.timeOut = dlg.TimeOut;
    plan.showCountdown = true;
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
}

}  // namespace
}  // namespace lanvoy
