// The main window in the tray: minimizing, the profile submenu, applying from it, and the
// icon's clicks, against a recording notification area.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>

#include "components/ui/qt_tray_menu.h"
#include "fake_platform.h"
#include "gui_app.h"
#include "mainwindow/ui/main_form.h"
#include "profiles/ini_file.h"
#include "test_support/recording_notification_area.h"
#include "test_support/temp_dir.h"

namespace lanvoy {
namespace {

class TrayWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::GuiApp();
    platform.exePath = dir.File("Lanvoy.exe");
    dir.Write("Lanvoy.GUI", "[Programm]\r\nMsgAdminNeeded=1\r\nMsgRestartBrowser=1\r\n");
    dir.Write("Lanvoy.INI",
              "[zeta]\r\nIP=10.0.0.26\r\n[R&D]\r\nIP=10.0.0.4\r\n[alpha]\r\nIP=10.0.0.1\r\n");
  }
  void TearDown() override {
    form.reset();
    EXPECT_TRUE(questions.AllAnswered());
    EXPECT_TRUE(area.icons.empty());  // the icon leaves with the window
  }
  TMainForm& Create() {
    form = std::make_unique<TMainForm>(platform, questions, platform.exePath,
                                       std::vector<std::string>{}, nullptr, &area);
    form->OnReadCurrentSettings = nullptr;
    form->ApplyPause = std::chrono::milliseconds(0);
    form->FormCreate();
    return *form;
  }
  std::vector<std::string> Submenu() {
    std::vector<std::string> names;
    for (QAction* item : form->MenuApplyaprofile->actions())
      names.push_back(item->data().toString().toStdString());
    return names;
  }
  QAction* SubmenuItem(const std::string& name) {
    for (QAction* item : form->MenuApplyaprofile->actions())
      if (item->data().toString().toStdString() == name) return item;
    return nullptr;
  }
  std::vector<std::string> Sections() { return IniFile(dir.File("Lanvoy.INI")).ReadSections(); }
  const NotifyIconData& Icon() { return area.icons.begin()->second; }

  test::TempDir dir;
  test::FakePlatform platform;
  ScriptedQuestions questions;
  test::RecordingNotificationArea area;
  std::unique_ptr<TMainForm> form;
};

TEST_F(TrayWindowTest, MinimizeGoesToTheTrayWithTheBalloonOrToTheTaskbar) {
  Create();
  EXPECT_TRUE(area.icons.empty());  // no icon at start
  EXPECT_TRUE(form->TimerSystrayWatchdog->isActive());
  EXPECT_EQ(form->TimerSystrayWatchdog->interval(), 10000);
  form->ExpandWindow();
  form->CheckTray->setChecked(true);
  form->ButtonMinimize->click();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(form->size(), QSize(325, 174));
  ASSERT_EQ(area.icons.size(), 1u);
  EXPECT_EQ(Icon().szTip, "Lanvoy");
  EXPECT_EQ(Icon().szInfoTitle, "Lanvoy");
  EXPECT_EQ(Icon().szInfo, "Click here to access Lanvoys configuration dialog!");
  EXPECT_EQ(Icon().dwInfoFlags, 1u);
  EXPECT_EQ(Icon().uTimeout, 1000u);
  EXPECT_FALSE(form->TimerMinimize->isActive());

  // The balloon's click only closes it.
  area.Send(Icon(), tray::kNinBalloonUserClick);
  EXPECT_EQ(Icon().uFlags & tray::kNifInfo, tray::kNifInfo);
  EXPECT_EQ(Icon().szInfo, "");
  EXPECT_FALSE(form->isVisible());

  // "Open" shows the window compact; the icon stays. Then to the taskbar: the icon goes and
  // the window is minimized half a second later.
  form->ShowWindow1->trigger();
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(area.icons.size(), 1u);
  form->CheckTray->setChecked(false);
  form->ButtonMinimize->click();
  EXPECT_TRUE(area.icons.empty());
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(form->isMinimized());
  EXPECT_TRUE(form->TimerMinimize->isActive());
  test::ProcessEventsUntil([] { return false; }, 700);
  EXPECT_TRUE(form->isMinimized());
  EXPECT_FALSE(form->TimerMinimize->isActive());
}

TEST_F(TrayWindowTest, WithoutANotificationAreaMinimizeKeepsAWayBack) {
  area.available = false;
  Create();
  form->CheckTray->setChecked(true);
  form->ButtonMinimize->click();
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(form->TimerMinimize->isActive());
}

TEST_F(TrayWindowTest, TheSubmenuFollowsTheStoreInFileOrder) {
  Create();
  EXPECT_EQ(Submenu(), (std::vector<std::string>{"zeta", "R&D", "alpha"}));
  EXPECT_EQ(SubmenuItem("R&D")->text(), "R&&D");  // shown as "R&D", no accelerator

  questions.AnswerInput("beta");
  form->ButtonNewClick();
  questions.AnswerMessage(mrNo);  // apply it now?
  form->ButtonSaveClick();
  EXPECT_EQ(Submenu(), Sections());
  questions.AnswerInput("Copy of zeta");
  form->ProfileList->setCurrentRow(form->ProfileList->count() - 1);  // zeta
  form->ButtonCopyClick();
  EXPECT_EQ(Submenu(), Sections());
  questions.AnswerInput("omega");
  form->ButtonRenameClick();
  EXPECT_EQ(Submenu(), Sections());
  questions.AnswerMessage(mrYes);
  form->ButtonDeleteClick();
  EXPECT_EQ(Submenu(), Sections());
  EXPECT_EQ(Submenu().size(), 4u);
}

TEST_F(TrayWindowTest, ApplyingFromTheSubmenuAsksNothing) {
  Create();
  form->CheckboxValidationMessage->setChecked(true);
  form->CheckMinimizeAfterApply->setChecked(true);
  SubmenuItem("R&D")->trigger();
  EXPECT_TRUE(questions.Asked().empty());
  EXPECT_EQ(form->SelectedProfile(), "R&D");
  EXPECT_EQ(form->Lan1.IP->text(), "10.0.0.4");
  EXPECT_EQ(platform.NetshRuns().size(), 1u);
  EXPECT_FALSE(form->TimerMinimize->isActive());  // no after-apply action
}

TEST_F(TrayWindowTest, InEditModeTheIconsClicksDoNothing) {
  Create();
  form->CheckTray->setChecked(true);
  form->ButtonMinimize->click();
  int opened = 0;
  QObject::connect(form->ShowWindow1, &QAction::triggered, [&] { ++opened; });

  // View mode: the right button opens the menu, a double click runs "Open".
  area.Send(Icon(), tray::kWmRButtonDown);
  EXPECT_TRUE(form->PopUPTray->isVisible());
  form->PopUPTray->hide();
  area.Send(Icon(), tray::kWmLButtonDblClk);
  EXPECT_EQ(opened, 1);
  EXPECT_TRUE(form->isVisible());

  form->ButtonModifyClick();
  EXPECT_FALSE(form->TrayMenu().AutoPopup());
  area.Send(Icon(), tray::kWmRButtonDown);
  EXPECT_FALSE(form->PopUPTray->isVisible());
  area.Send(Icon(), tray::kWmLButtonDblClk);
  EXPECT_EQ(opened, 1);

  form->ButtonCancelClick();
  EXPECT_TRUE(form->TrayMenu().AutoPopup());

  // "Close" from the tray ends the program although the window is hidden.
  form->ButtonMinimize->click();
  ASSERT_FALSE(form->isVisible());
  int closed = 0;
  QObject::connect(form.get(), &TMainForm::Closed, [&] { ++closed; });
  form->Close1->trigger();
  EXPECT_EQ(closed, 1);
}

TEST_F(TrayWindowTest, StartMinimizedWithTheTrayOptionStartsInTheTray) {
  dir.Write(
      "Lanvoy.GUI",
      "[Programm]\r\nMsgAdminNeeded=1\r\nMsgRestartBrowser=1\r\nStartMin=1\r\nTrayicon=1\r\n");
  Create();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(area.icons.size(), 1u);
}

}  // namespace
}  // namespace lanvoy
