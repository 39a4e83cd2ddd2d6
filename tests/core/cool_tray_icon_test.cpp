#include "components/cool_tray_icon.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "test_support/recording_notification_area.h"

namespace lanvoy {
namespace {

using test::RecordingMenu;
using test::RecordingNotificationArea;
using namespace tray;

class CoolTrayIconTest : public ::testing::Test {
 protected:
  CoolTrayIconTest() {
    menu.items = {{"Apply a profile"}, {"Open", true}, {"-"}, {"Close"}};
    icon = std::make_unique<TCoolTrayIcon>(area);
    icon->PopupMenu = &menu;
  }

  std::optional<intptr_t> Send(uint32_t message) { return area.Send(icon->Record(), message); }
  const NotifyIconData& LastCall() const { return area.calls.back().data; }
  const NotifyIconData* Shown() const {
    auto found = area.icons.find({icon->Record().hWnd, icon->Record().uID});
    return found == area.icons.end() ? nullptr : &found->second;
  }

  RecordingNotificationArea area;
  RecordingMenu menu;
  std::unique_ptr<TCoolTrayIcon> icon;
  std::vector<std::string> events;
};

TEST_F(CoolTrayIconTest, RecordTargetsTheSharedWindowAndIconsShareItWhileOneLives) {
  const NotifyIconData& first = icon->Record();
  EXPECT_EQ(first.cbSize, 488u);
  EXPECT_EQ(first.uFlags, 7u);
  EXPECT_EQ(first.uCallbackMessage, 0x800u);
  EXPECT_EQ(area.windowsCreated, 1);
  ASSERT_EQ(area.windows.count(first.hWnd), 1u);

  auto second = std::make_unique<TCoolTrayIcon>(area);
  EXPECT_EQ(area.windowsCreated, 1);
  EXPECT_EQ(second->Record().hWnd, first.hWnd);
  EXPECT_NE(second->Record().uID, first.uID);

  // Each notification reaches the icon its identifier names.
  int firstClicks = 0, secondClicks = 0;
  icon->OnBalloonHintClick = [&](TCoolTrayIcon&) { ++firstClicks; };
  second->OnBalloonHintClick = [&](TCoolTrayIcon&) { ++secondClicks; };
  area.Send(second->Record(), kNinBalloonUserClick);
  EXPECT_EQ(firstClicks, 0);
  EXPECT_EQ(secondClicks, 1);

  // The window stays while one icon is left and goes with the last.
  NotifyIconData secondRecord = second->Record();
  icon.reset();
  EXPECT_EQ(area.windowsDestroyed, 0);
  area.Send(secondRecord, kNinBalloonUserClick);
  EXPECT_EQ(secondClicks, 2);
  second.reset();
  EXPECT_EQ(area.windowsDestroyed, 1);
  EXPECT_TRUE(area.windows.empty());

  // A later icon gets a window of its own again.
  TCoolTrayIcon third(area);
  EXPECT_EQ(area.windowsCreated, 2);
  EXPECT_EQ(area.windows.count(third.Record().hWnd), 1u);
}

TEST_F(CoolTrayIconTest, IconVisibleAlwaysActsAndTheTrayKeepsOneIcon) {
  icon->SetIconVisible(true);
  icon->SetIconVisible(true);
  EXPECT_EQ(area.Count(NotifyIconMessage::Add), 2u);
  EXPECT_FALSE(area.calls.back().result);  // the second add fails quietly
  EXPECT_EQ(area.icons.size(), 1u);
  EXPECT_TRUE(icon->IconVisible());

  icon->SetIconVisible(false);
  icon->SetIconVisible(false);
  EXPECT_EQ(area.Count(NotifyIconMessage::Delete), 2u);
  EXPECT_TRUE(area.icons.empty());
  EXPECT_FALSE(icon->IconVisible());

  // Loading the owner applies the property: a hidden icon is removed again, harmlessly.
  icon->Loaded();
  EXPECT_EQ(area.Count(NotifyIconMessage::Delete), 3u);
  EXPECT_TRUE(area.icons.empty());

  // ShowIcon's result is the system's; the property is set even when adding fails.
  area.available = false;
  EXPECT_FALSE(icon->ShowIcon());
  EXPECT_TRUE(icon->IconVisible());
}

TEST_F(CoolTrayIconTest, DestroyingTheComponentRemovesItsIcon) {
  icon->SetIconVisible(true);
  ASSERT_EQ(area.icons.size(), 1u);
  icon.reset();
  EXPECT_TRUE(area.icons.empty());
  EXPECT_EQ(area.calls.back().message, NotifyIconMessage::Delete);
  EXPECT_TRUE(area.listeners.empty());
}

TEST_F(CoolTrayIconTest, TooltipIsTheHintCutTo127AndEmptyWithoutHintOrShowHint) {
  icon->SetIconVisible(true);
  EXPECT_EQ(Shown()->szTip, "");

  std::string longHint(127, 'a');
  longHint += "bcdef";
  icon->SetHint(longHint);
  EXPECT_EQ(area.calls.back().message, NotifyIconMessage::Modify);
  EXPECT_EQ(Shown()->szTip, std::string(127, 'a'));
  EXPECT_EQ(icon->Hint(), longHint);  // the property keeps the whole text

  icon->SetShowHint(false);
  EXPECT_EQ(Shown()->szTip, "");
  icon->SetShowHint(true);
  EXPECT_EQ(Shown()->szTip, std::string(127, 'a'));
  icon->SetHint("Lanvoy");
  EXPECT_EQ(Shown()->szTip, "Lanvoy");
  icon->SetHint("");
  EXPECT_EQ(Shown()->szTip, "");

  // The icon is taken from the property at each call.
  icon->SetIcon(TIcon{":/lanvoy.png"});
  EXPECT_EQ(Shown()->hIcon, TIcon{":/lanvoy.png"});
  icon->SetIconVisible(false);
  icon->SetHint("Lanvoy");
  icon->SetIconVisible(true);
  EXPECT_EQ(Shown()->szTip, "Lanvoy");
  EXPECT_EQ(Shown()->hIcon, TIcon{":/lanvoy.png"});
}

TEST_F(CoolTrayIconTest, BalloonIsCutAndItsFlagIsOnOnlyForTheBalloonCall) {
  icon->SetIconVisible(true);
  std::size_t before = area.calls.size();
  std::string title = std::string(63, 'T') + "tail";
  std::string text = std::string(255, 'x') + "tail";
  EXPECT_TRUE(icon->ShowBalloonHint(title, text, bitWarning, 7));

  // First the old balloon is closed with an empty text, then the new one is shown.
  ASSERT_EQ(area.calls.size(), before + 2);
  const NotifyIconData& hide = area.calls[before].data;
  EXPECT_EQ(hide.uFlags, 0x17u);
  EXPECT_EQ(hide.szInfo, "");
  const NotifyIconData& show = area.calls[before + 1].data;
  EXPECT_EQ(area.calls[before + 1].message, NotifyIconMessage::Modify);
  EXPECT_EQ(show.uFlags, 0x17u);
  EXPECT_EQ(show.szInfoTitle, std::string(63, 'T'));
  EXPECT_EQ(show.szInfo, std::string(255, 'x'));
  EXPECT_EQ(show.uTimeout, 7000u);
  EXPECT_EQ(show.dwInfoFlags, 2u);

  // Afterwards an ordinary change carries no balloon.
  icon->SetHint("Lanvoy");
  EXPECT_EQ(LastCall().uFlags, 7u);

  // Hiding leaves the flag set, with an empty text, until the next balloon.
  EXPECT_TRUE(icon->HideBalloonHint());
  EXPECT_EQ(LastCall().uFlags, 0x17u);
  EXPECT_EQ(LastCall().szInfo, "");
  icon->SetHint("again");
  EXPECT_EQ(LastCall().uFlags, 0x17u);
  icon->ShowBalloonHint("Lanvoy", "hello", bitInfo, 1);
  EXPECT_EQ(LastCall().dwInfoFlags, 1u);
  EXPECT_EQ(LastCall().uTimeout, 1000u);
  icon->SetHint("Lanvoy");
  EXPECT_EQ(LastCall().uFlags, 7u);

  // A huge time-out saturates instead of wrapping round to a short one.
  icon->ShowBalloonHint("t", "x", bitNone, 5000000);
  EXPECT_EQ(area.calls[area.calls.size() - 1].data.uTimeout, 0xFFFFFFFFu);
  EXPECT_EQ(BalloonIconFlags(bitNone), 0u);
  EXPECT_EQ(BalloonIconFlags(bitError), 3u);

  // Without a shown icon the balloon fails and adds nothing.
  icon->SetIconVisible(false);
  EXPECT_FALSE(icon->ShowBalloonHint("Lanvoy", "text", bitInfo, 1));
  EXPECT_TRUE(area.icons.empty());
}

TEST_F(CoolTrayIconTest, DisabledIconIgnoresTheMouseButNotTheBalloon) {
  test::RecordEvents(*icon, events);
  icon->Enabled = false;
  for (uint32_t m : {kWmMouseMove, kWmLButtonDown, kWmLButtonUp, kWmLButtonDblClk, kWmRButtonDown,
                     kWmRButtonUp, kWmMButtonDown, kWmMButtonUp})
    EXPECT_EQ(Send(m), 0);
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(menu.popups.empty());
  EXPECT_TRUE(menu.clicked.empty());

  Send(kNinBalloonUserClick);
  Send(kNinBalloonHide);
  Send(kNinBalloonTimeout);
  EXPECT_EQ(events, (std::vector<std::string>{"balloon click", "balloon hide", "balloon timeout"}));

  // Switched on again, the same messages act.
  events.clear();
  icon->Enabled = true;
  for (uint32_t m : {kWmMouseMove, kWmLButtonDown, kWmLButtonUp, kWmLButtonDblClk, kWmMButtonDown,
                     kWmMButtonUp, kWmRButtonDblClk, kNinBalloonShow})
    Send(m);
  EXPECT_EQ(events, (std::vector<std::string>{"move", "down L", "up L", "click", "dblclick",
                                              "down M", "up M"}));
}

TEST_F(CoolTrayIconTest, RightButtonOpensTheMenuOnThePressAtTheCursor) {
  std::vector<std::pair<TMouseButton, TShiftState>> downs;
  std::size_t popupsAtEvent = 99;
  icon->OnMouseDown = [&](TCoolTrayIcon&, TMouseButton b, TShiftState s, int x, int y) {
    if (downs.empty()) {
      EXPECT_EQ(x, 640);
      EXPECT_EQ(y, 480);
    }
    downs.push_back({b, s});
    popupsAtEvent = menu.popups.size();
  };
  area.keys.ctrl = true;
  Send(kWmRButtonDown);
  ASSERT_EQ(menu.popups.size(), 1u);
  EXPECT_EQ(menu.popups[0], (TrayPoint{640, 480}));
  EXPECT_EQ(popupsAtEvent, 0u);  // the event comes first
  EXPECT_EQ(area.foregrounds, 1);
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(downs[0].first, mbRight);
  TShiftState expected;
  expected.ssCtrl = true;
  expected.ssRight = true;
  EXPECT_EQ(downs[0].second, expected);

  // Releasing the button opens nothing more, nor does the left button.
  Send(kWmRButtonUp);
  Send(kWmLButtonDown);
  Send(kWmLButtonUp);
  EXPECT_EQ(menu.popups.size(), 1u);

  // With LeftPopup the left press opens it.
  icon->LeftPopup = true;
  Send(kWmLButtonDown);
  EXPECT_EQ(menu.popups.size(), 2u);

  // No menu while its automatic popup is off, nor when the cursor cannot be read.
  menu.autoPopup = false;
  Send(kWmRButtonDown);
  menu.autoPopup = true;
  area.cursor.reset();
  Send(kWmRButtonDown);
  EXPECT_EQ(menu.popups.size(), 2u);
}

TEST_F(CoolTrayIconTest, LeftDoubleClickRunsTheFirstDefaultItemAndOpensNoMenu) {
  menu.items[3].isDefault = true;  // a second default further down is not the one
  icon->OnDblClick = [&](TCoolTrayIcon&) { events.push_back("dblclick"); };
  menu.onClick = [&](const std::string& caption) { events.push_back(caption); };
  Send(kWmLButtonDblClk);
  EXPECT_EQ(events, (std::vector<std::string>{"dblclick", "Open"}));
  EXPECT_TRUE(menu.popups.empty());

  // Not while the menu's automatic popup is off (edit mode), nor with LeftPopup.
  events.clear();
  menu.autoPopup = false;
  Send(kWmLButtonDblClk);
  menu.autoPopup = true;
  icon->LeftPopup = true;
  Send(kWmLButtonDblClk);
  EXPECT_EQ(events, (std::vector<std::string>{"dblclick", "dblclick"}));

  // A menu without a default item: just the event.
  icon->LeftPopup = false;
  for (auto& item : menu.items) item.isDefault = false;
  Send(kWmLButtonDblClk);
  EXPECT_EQ(menu.clicked, (std::vector<std::string>{"Open"}));
}

TEST_F(CoolTrayIconTest, TaskbarRestartBringsBackOnlyAVisibleIcon) {
  TCoolTrayIcon hidden(area);
  icon->SetHint("Lanvoy");
  icon->SetIconVisible(true);
  hidden.SetIconVisible(true);
  hidden.SetIconVisible(false);
  area.RestartTaskbar();
  ASSERT_EQ(area.icons.size(), 1u);
  ASSERT_NE(Shown(), nullptr);
  EXPECT_EQ(Shown()->szTip, "Lanvoy");

  // An icon that could not be added at first comes once a taskbar is there.
  area.icons.clear();
  area.available = false;
  icon->SetIconVisible(true);
  area.available = true;
  area.RestartTaskbar();
  EXPECT_NE(Shown(), nullptr);
}

TEST_F(CoolTrayIconTest, OldCommonControlsGetNoTaskbarWatch) {
  EXPECT_FALSE(TaskbarCreatedSupported({4, 70}));
  EXPECT_FALSE(TaskbarCreatedSupported({3, 99}));
  EXPECT_TRUE(TaskbarCreatedSupported({4, 71}));
  EXPECT_TRUE(TaskbarCreatedSupported({5, 0}));
  EXPECT_TRUE(TaskbarCreatedSupported({6, 10}));

  RecordingNotificationArea old;
  old.comctl32 = {4, 70};
  TCoolTrayIcon oldIcon(old);
  oldIcon.SetIconVisible(true);
  EXPECT_TRUE(old.listeners.empty());
  old.RestartTaskbar();
  EXPECT_TRUE(old.icons.empty());
}

TEST_F(CoolTrayIconTest, HiddenWindowAnswersLifecycleMessagesItselfAndPassesOthersOn) {
  for (uint32_t m : {kWmClose, kWmDestroy, kWmQuit, kWmQueryEndSession, kWmEndSession,
                     kWmUserChanged, kWmNcDestroy})
    EXPECT_EQ(area.windows.at(icon->Record().hWnd)->WindowMessage(m, 0, 0), 1) << m;
  for (uint32_t m : {0x000Fu /* WM_PAINT */, 0x0001u /* WM_CREATE */, 0x0801u})
    EXPECT_EQ(area.windows.at(icon->Record().hWnd)->WindowMessage(m, 0, 0), std::nullopt) << m;
  // A notification for an identifier no icon has is dropped.
  NotifyIconData stranger = icon->Record();
  stranger.uID += 100;
  EXPECT_EQ(area.Send(stranger, kWmRButtonDown), 0);
  EXPECT_TRUE(menu.popups.empty());
}

TEST_F(CoolTrayIconTest, HandlerThatDestroysTheIconEndsTheNotification) {
  icon->SetIconVisible(true);
  NotifyIconData record = icon->Record();
  icon->OnMouseDown = [&](TCoolTrayIcon&, TMouseButton, TShiftState, int, int) { icon.reset(); };
  area.Send(record, kWmRButtonDown);
  EXPECT_EQ(icon, nullptr);
  EXPECT_TRUE(menu.popups.empty());
  EXPECT_TRUE(area.icons.empty());
  EXPECT_EQ(area.windowsDestroyed, 1);

  // The default item closing the program from a double click.
  icon = std::make_unique<TCoolTrayIcon>(area);
  icon->PopupMenu = &menu;
  menu.onClick = [&](const std::string&) { icon.reset(); };
  icon->OnDblClick = [&](TCoolTrayIcon&) { events.push_back("dblclick"); };
  area.Send(icon->Record(), kWmLButtonDblClk);
  EXPECT_EQ(icon, nullptr);
  EXPECT_EQ(events, (std::vector<std::string>{"dblclick"}));

  // Messages waiting when the menu is about to open may end the component.
  icon = std::make_unique<TCoolTrayIcon>(area);
  icon->PopupMenu = &menu;
  area.pendingMessages = [&] { icon.reset(); };
  area.Send(icon->Record(), kWmRButtonDown);
  EXPECT_EQ(icon, nullptr);
  EXPECT_TRUE(menu.popups.empty());
}

}  // namespace
}  // namespace lanvoy
