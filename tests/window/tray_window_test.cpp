// The main window in the tray: minimizing, the profile submenu, applying from it, and the
// icon's clicks, against a recording notification area.
#include "window_fixture.h"

namespace lanvoy {
namespace {

class TrayWindowTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    Store("[zeta]\r\nIP=10.0.0.26\r\n[R&D]\r\nIP=10.0.0.4\r\n[alpha]\r\nIP=10.0.0.1\r\n");
  }
  void TearDown() override {
    WindowTest::TearDown();
    EXPECT_TRUE(window->area.icons.empty());  // the icon leaves with the window
  }
  const NotifyIconData& Icon() { return window->area.icons.begin()->second; }
};

TEST_F(TrayWindowTest, MinimizeGoesToTheTrayWithTheBalloonOrToTheTaskbar) {
  Create();
  EXPECT_TRUE(window->area.icons.empty());  // no icon at start
  EXPECT_TRUE(TimerOf("TimerSystrayWatchdog").enabled);
  form->ExpandWindow();
  Check("CheckTray").SetChecked(true);
  Button("ButtonMinimize").Click();
  EXPECT_FALSE(window->visible);
  EXPECT_EQ(window->size, (std::pair{325, 174}));
  ASSERT_EQ(window->area.icons.size(), 1u);
  EXPECT_EQ(Icon().szTip, "Lanvoy");
  EXPECT_EQ(Icon().hIcon.source, "lanvoy.ico");
  EXPECT_EQ(Icon().szInfoTitle, "Lanvoy");
  EXPECT_EQ(Icon().szInfo, "Click here to access Lanvoys configuration dialog!");
  EXPECT_EQ(Icon().dwInfoFlags, 1u);
  EXPECT_EQ(Icon().uTimeout, 1000u);
  EXPECT_FALSE(TimerOf("TimerMinimize").enabled);

  // The balloon's click only closes it.
  window->area.Send(Icon(), tray::kNinBalloonUserClick);
  EXPECT_EQ(Icon().uFlags & tray::kNifInfo, tray::kNifInfo);
  EXPECT_EQ(Icon().szInfo, "");
  EXPECT_FALSE(window->visible);

  // "Open" shows the window compact; the icon stays. Then to the taskbar: the icon goes and
  // the window is minimized when the timer fires.
  Item("ShowWindow1").Click();
  EXPECT_TRUE(window->visible);
  EXPECT_EQ(window->area.icons.size(), 1u);
  Check("CheckTray").SetChecked(false);
  Button("ButtonMinimize").Click();
  EXPECT_TRUE(window->area.icons.empty());
  EXPECT_TRUE(window->visible);
  EXPECT_FALSE(window->minimized);
  EXPECT_TRUE(TimerOf("TimerMinimize").enabled);
  TimerOf("TimerMinimize").Fire();
  EXPECT_TRUE(window->minimized);
  EXPECT_FALSE(TimerOf("TimerMinimize").enabled);
  // "Open" brings it back from the taskbar.
  Item("ShowWindow1").Click();
  EXPECT_FALSE(window->minimized);
}

TEST_F(TrayWindowTest, WithoutANotificationAreaMinimizeKeepsAWayBack) {
  Create();
  window->area.available = false;
  Check("CheckTray").SetChecked(true);
  Button("ButtonMinimize").Click();
  EXPECT_TRUE(window->visible);
  EXPECT_TRUE(TimerOf("TimerMinimize").enabled);
}

TEST_F(TrayWindowTest, TheSubmenuFollowsTheList) {
  Create();
  EXPECT_EQ(Submenu().Captions(), (std::vector<std::string>{"alpha", "R&D", "zeta"}));

  questions.AnswerInput("beta");
  Button("ButtonNew").Click();
  questions.AnswerMessage(mrNo);  // apply it now?
  Button("ButtonSave").Click();
  EXPECT_EQ(Submenu().Captions(), List().items);
  questions.AnswerInput("Copy of zeta");
  List().Click("zeta");
  Button("ButtonCopy").Click();
  EXPECT_EQ(Submenu().Captions(), List().items);
  questions.AnswerInput("omega");
  Button("ButtonRename").Click();
  EXPECT_EQ(Submenu().Captions(), List().items);
  questions.AnswerMessage(mrYes);
  Button("ButtonDelete").Click();
  EXPECT_EQ(Submenu().Captions(), List().items);
  EXPECT_EQ(Submenu().items.size(), 4u);
}

TEST_F(TrayWindowTest, ApplyingFromTheSubmenuAsksNothing) {
  Create();
  Check("CheckboxValidationMessage").SetChecked(true);
  Check("CheckMinimizeAfterApply").SetChecked(true);
  Submenu().Click("R&D");
  EXPECT_TRUE(questions.Asked().empty());
  EXPECT_EQ(form->SelectedProfile(), "R&D");
  EXPECT_EQ(Text("InputIP"), "10.0.0.4");
  EXPECT_EQ(fake.NetshRuns().size(), 1u);
  EXPECT_FALSE(TimerOf("TimerMinimize").enabled);  // no after-apply action
}

TEST_F(TrayWindowTest, InEditModeTheIconsClicksDoNothing) {
  Create();
  Check("CheckTray").SetChecked(true);
  Button("ButtonMinimize").Click();

  // View mode: the right button opens the menu, a double click runs "Open", and so does a
  // right click on the window.
  const auto& popups = window->Get<MemPopupMenu>("PopUPTray").popups;
  window->area.Send(Icon(), tray::kWmRButtonDown);
  window->area.Send(Icon(), tray::kWmRButtonUp);
  EXPECT_EQ(popups.size(), 1u);
  window->area.Send(Icon(), tray::kWmLButtonDblClk);
  EXPECT_TRUE(window->visible);
  window->OnContextPopup(10, 20);
  EXPECT_EQ(popups.size(), 2u);

  Button("ButtonModify").Click();
  EXPECT_FALSE(form->TrayMenu().AutoPopup());
  window->Hide();
  window->area.Send(Icon(), tray::kWmRButtonDown);
  window->area.Send(Icon(), tray::kWmRButtonUp);
  window->area.Send(Icon(), tray::kWmLButtonDblClk);
  EXPECT_FALSE(window->visible);
  window->OnContextPopup(10, 20);
  EXPECT_EQ(popups.size(), 2u);

  Button("ButtonCancel").Click();
  EXPECT_TRUE(form->TrayMenu().AutoPopup());

  // "Close" from the tray ends the program although the window is hidden.
  Button("ButtonMinimize").Click();
  ASSERT_FALSE(window->visible);
  Item("Close1").Click();
  EXPECT_TRUE(window->closed);
}

TEST_F(TrayWindowTest, StartMinimizedWithTheTrayOptionStartsInTheTray) {
  dir.Write(
      "Lanvoy.GUI",
      "[Programm]\r\nMsgAdminNeeded=1\r\nMsgRestartBrowser=1\r\nStartMin=1\r\nTrayicon=1\r\n");
  Create();
  EXPECT_FALSE(window->visible);
  EXPECT_EQ(window->area.icons.size(), 1u);
  TimerOf("TimerSystrayWatchdog").Fire();
  EXPECT_TRUE(form->TrayIcon().Enabled);
}

}  // namespace
}  // namespace lanvoy
