#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "components/msg_dlg.h"
#include "gui_app.h"
#include "mainwindow/qt/qt_questions.h"
#include "profiles/ini_file.h"
#include "test_support/temp_dir.h"

namespace lanvoy {
namespace {

class MsgDlgBoxTest : public ::testing::Test {
 protected:
  void SetUp() override { test::GuiApp(); }
  // Runs fn on the open box once the modal loop has started.
  void WhenOpen(std::function<void(QDialog*)> fn) {
    QTimer::singleShot(50, [fn] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) return fn(d);
      ADD_FAILURE() << "no box open";
    });
  }
  test::TempDir dir;
  QtQuestions questions;
};

TEST_F(MsgDlgBoxTest, BoxHoldsIconMessageButtonsCheckBoxAndCountdown) {
  TMessageDlg dlg(questions);
  SetupDialogBrowserRestart(dlg);
  dlg.IniFile = dir.File("Lanvoy.GUI");
  std::vector<std::string> names;
  QString countdown;
  WhenOpen([&](QDialog* box) {
    for (QWidget* w : box->findChildren<QWidget*>()) names.push_back(w->objectName().toStdString());
    EXPECT_EQ(box->windowTitle(), "Information");
    countdown = box->findChild<QLabel*>("Countdown")->text();
    auto* message = box->findChild<QLabel*>("Message");
    auto* ok = box->findChild<QPushButton*>("OK");
    auto* check = box->findChild<QCheckBox*>("DontShowAgain");
    ASSERT_TRUE(message && ok && check);
    EXPECT_TRUE(message->wordWrap());
    EXPECT_TRUE(ok->isDefault());
    EXPECT_GT(ok->geometry().top(), message->geometry().bottom());
    EXPECT_LT(check->geometry().bottom(), ok->geometry().top() + 1);
    check->setChecked(true);
    ok->click();
  });
  EXPECT_EQ(dlg.Execute(), mrOk);
  EXPECT_EQ(countdown, "20");
  EXPECT_NE(std::find(names.begin(), names.end(), "Image"), names.end());
  IniFile ini(dir.File("Lanvoy.GUI"));
  EXPECT_EQ(ini.ReadString("Programm", "MsgRestartBrowser", ""), "1");
  EXPECT_EQ(ini.ReadString("Programm", "MsgDlgValue", ""), "1");
}

TEST_F(MsgDlgBoxTest, CountdownClosesTheBoxWithTheTimeOutResult) {
  TMessageDlg dlg(questions);
  dlg.DlgType = mtConfirmation;
  dlg.Buttons = {mbYes, mbNo};
  dlg.TimeOut = 1;
  dlg.ShowCountdown = true;
  dlg.TimeOutResult = trNo;
  dlg.SetMsg("Short");
  EXPECT_EQ(dlg.Execute(), mrNo);
}

TEST_F(MsgDlgBoxTest, EscapeWithOnlyOkGivesOk) {
  TMessageDlg dlg(questions);
  dlg.SetMsg("Escape me");
  WhenOpen([](QDialog* box) {
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(box, &esc);
  });
  EXPECT_EQ(dlg.Execute(), mrOk);
}

TEST(QtFileFilterText, PairsBecomeQtFilters) {
  EXPECT_EQ(QtFileFilter("Batch- Files (*.bat)|*.bat|All Files|*.*").toStdString(),
            "Batch- Files (*.bat);;All Files (*.*)");
}

}  // namespace
}  // namespace lanvoy
