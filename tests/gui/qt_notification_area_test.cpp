#include "components/qt/qt_notification_area.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <memory>
#include <string>
#include <vector>

#include "components/cool_tray_icon.h"
#include "gui_app.h"
#include "test_support/recording_notification_area.h"

namespace lanvoy {
namespace {

// A QMenu as the icon's menu: the action's trigger is the item's click.
class QtTrayMenu : public TrayPopupMenu {
 public:
  explicit QtTrayMenu(QMenu* menu) : menu_(menu) {}
  bool AutoPopup() const override { return autoPopup_; }
  void SetAutoPopup(bool on) override { autoPopup_ = on; }
  void Popup(TrayPoint at) override { menu_->popup(QPoint(at.x, at.y)); }
  std::size_t ItemCount() const override { return static_cast<size_t>(menu_->actions().size()); }
  bool IsDefaultItem(std::size_t i) const override {
    return menu_->actions().at(static_cast<qsizetype>(i)) == menu_->defaultAction();
  }
  void ClickItem(std::size_t i) override {
    menu_->actions().at(static_cast<qsizetype>(i))->trigger();
  }

 private:
  QMenu* menu_;
  bool autoPopup_ = true;
};

bool WaitFor(const std::function<bool()>& done, int ms = 3000) {
  return test::ProcessEventsUntil(done, ms);
}

class QtNotificationAreaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    open = menu.addAction("Open");
    menu.setDefaultAction(open);
    menu.addSeparator();
    close = menu.addAction("Close");
    QObject::connect(open, &QAction::triggered, [this] { events.push_back("Open"); });
    QObject::connect(close, &QAction::triggered, [this] { events.push_back("Close"); });
  }
  void TearDown() override { menu.hide(); }

  // A component on an area that has a tray, with the menu and every event recorded.
  void MakeIcon() {
    icon = std::make_unique<TCoolTrayIcon>(area);
    icon->PopupMenu = &trayMenu;
    test::RecordEvents(*icon, events);
    // Looks at the menu when the right button goes down.
    TTrayMouseEvent recordDown = icon->OnMouseDown;
    icon->OnMouseDown = [this, recordDown](TCoolTrayIcon& sender, TMouseButton b, TShiftState s,
                                           int x, int y) {
      recordDown(sender, b, s, x, y);
      if (b == mbRight) menuOpenAtDown = menu.isVisible();
    };
  }
  QSystemTrayIcon* Shown() const {
    return area.TrayIconOf(icon->Record().hWnd, icon->Record().uID);
  }

  // The application comes before the widgets and timers below.
  struct App {
    App() { test::GuiApp(); }
  } app;
  bool trayThere = true;
  QtNotificationArea area{nullptr, [this] { return trayThere; }};
  QMenu menu;
  QAction* open = nullptr;
  QAction* close = nullptr;
  QtTrayMenu trayMenu{&menu};
  std::unique_ptr<TCoolTrayIcon> icon;
  std::vector<std::string> events;
  bool menuOpenAtDown = true;
};

TEST_F(QtNotificationAreaTest, WithoutATrayAddingFailsQuietly) {
  if (QSystemTrayIcon::isSystemTrayAvailable()) GTEST_SKIP() << "a tray is running here";
  QtNotificationArea real;
  TCoolTrayIcon trayless(real);
  trayless.SetHint("Lanvoy");
  trayless.SetIconVisible(true);
  EXPECT_TRUE(trayless.IconVisible());
  EXPECT_EQ(real.TrayIconOf(trayless.Record().hWnd, trayless.Record().uID), nullptr);
  EXPECT_FALSE(trayless.ShowBalloonHint("Lanvoy", "text", bitInfo, 1));
  EXPECT_FALSE(trayless.HideIcon());
}

TEST_F(QtNotificationAreaTest, RecordsBecomeTrayIconsWithTheirTooltipAndGoAgain) {
  MakeIcon();
  icon->SetHint("Lanvoy");
  icon->SetIcon(TIcon{":/no/such/icon.png"});  // an icon that does not load still shows
  EXPECT_TRUE(icon->ShowIcon());
  QSystemTrayIcon* shown = Shown();
  ASSERT_NE(shown, nullptr);
  EXPECT_TRUE(shown->isVisible());
  EXPECT_FALSE(shown->icon().isNull());
  EXPECT_EQ(shown->toolTip(), "Lanvoy");
  EXPECT_FALSE(icon->ShowIcon());  // already there
  EXPECT_EQ(Shown(), shown);

  icon->SetShowHint(false);
  EXPECT_EQ(shown->toolTip(), "");
  EXPECT_TRUE(icon->HideIcon());
  EXPECT_EQ(Shown(), nullptr);
  EXPECT_FALSE(icon->ModifyIcon());
  EXPECT_FALSE(icon->HideIcon());

  // The icon leaves the tray with the component.
  icon->SetIconVisible(true);
  ASSERT_NE(Shown(), nullptr);
  NotifyIconData record = icon->Record();
  icon.reset();
  EXPECT_EQ(area.TrayIconOf(record.hWnd, record.uID), nullptr);
}

TEST_F(QtNotificationAreaTest, ActivationsArriveAsTheSystemsMouseNotifications) {
  MakeIcon();
  icon->SetIconVisible(true);
  QSystemTrayIcon* shown = Shown();
  ASSERT_NE(shown, nullptr);

  // The context request is the right button: the menu opens on the press.
  emit shown->activated(QSystemTrayIcon::Context);
  EXPECT_EQ(events, (std::vector<std::string>{"down R", "up R"}));
  EXPECT_FALSE(menuOpenAtDown);
  EXPECT_TRUE(menu.isVisible());
  menu.hide();

  events.clear();
  emit shown->activated(QSystemTrayIcon::Trigger);
  EXPECT_EQ(events, (std::vector<std::string>{"down L", "up L", "click"}));
  EXPECT_FALSE(menu.isVisible());

  // A double click runs the default action and opens nothing.
  events.clear();
  emit shown->activated(QSystemTrayIcon::DoubleClick);
  EXPECT_EQ(events, (std::vector<std::string>{"dblclick", "Open"}));
  EXPECT_FALSE(menu.isVisible());

  events.clear();
  area.Activated(icon->Record().hWnd, icon->Record().uID, QSystemTrayIcon::MiddleClick);
  area.Activated(icon->Record().hWnd, icon->Record().uID, QSystemTrayIcon::Unknown);
  EXPECT_EQ(events, (std::vector<std::string>{"down M", "up M"}));

  // Edit mode: the menu's automatic popup off, neither click does anything but its event.
  events.clear();
  trayMenu.SetAutoPopup(false);
  emit shown->activated(QSystemTrayIcon::Context);
  emit shown->activated(QSystemTrayIcon::DoubleClick);
  EXPECT_EQ(events, (std::vector<std::string>{"down R", "up R", "dblclick"}));
  EXPECT_FALSE(menu.isVisible());

  // Disabled, only the balloon click comes through.
  events.clear();
  trayMenu.SetAutoPopup(true);
  icon->Enabled = false;
  emit shown->activated(QSystemTrayIcon::Context);
  emit shown->activated(QSystemTrayIcon::DoubleClick);
  emit shown->messageClicked();
  EXPECT_EQ(events, (std::vector<std::string>{"balloon click"}));
  EXPECT_FALSE(menu.isVisible());
}

TEST_F(QtNotificationAreaTest, ADefaultItemThatEndsTheComponentStopsTheActivation) {
  MakeIcon();
  icon->SetIconVisible(true);
  QObject::connect(open, &QAction::triggered, [this] { icon.reset(); });
  emit Shown()->activated(QSystemTrayIcon::DoubleClick);
  EXPECT_EQ(icon, nullptr);
  // The icon left the tray; its object goes once the loop runs.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(events, (std::vector<std::string>{"dblclick", "Open"}));
}

TEST_F(QtNotificationAreaTest, BalloonTimesOutOrIsClosedAndSaysSo) {
  area.SetBalloonTimeLimits(50, 200);
  MakeIcon();
  icon->SetIconVisible(true);
  EXPECT_TRUE(icon->ShowBalloonHint("Lanvoy", "Click here", bitInfo, 1));
  EXPECT_TRUE(WaitFor([this] { return !events.empty(); }));
  EXPECT_EQ(events, (std::vector<std::string>{"balloon timeout"}));

  // Closed before its time: told once, after the call, and no time-out follows.
  events.clear();
  icon->ShowBalloonHint("Lanvoy", "Click here", bitInfo, 1);
  EXPECT_TRUE(icon->HideBalloonHint());
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(WaitFor([this] { return !events.empty(); }));
  WaitFor([] { return false; }, 300);
  EXPECT_EQ(events, (std::vector<std::string>{"balloon hide"}));

  // Clicked: no time-out afterwards either.
  events.clear();
  icon->ShowBalloonHint("Lanvoy", "Click here", bitInfo, 1);
  emit Shown()->messageClicked();
  WaitFor([] { return false; }, 300);
  EXPECT_EQ(events, (std::vector<std::string>{"balloon click"}));
}

TEST_F(QtNotificationAreaTest, ATrayThatAppearsLaterGetsTheVisibleIcon) {
  trayThere = false;
  QtNotificationArea late(nullptr, [this] { return trayThere; });
  late.SetTaskbarWatchInterval(0);
  TCoolTrayIcon shown(late), hidden(late);
  shown.SetIconVisible(true);
  hidden.SetIconVisible(false);
  EXPECT_EQ(late.TrayIconOf(shown.Record().hWnd, shown.Record().uID), nullptr);

  late.CheckTaskbar();  // still none
  EXPECT_EQ(late.TrayIconOf(shown.Record().hWnd, shown.Record().uID), nullptr);
  trayThere = true;
  late.CheckTaskbar();
  EXPECT_NE(late.TrayIconOf(shown.Record().hWnd, shown.Record().uID), nullptr);
  EXPECT_EQ(late.TrayIconOf(hidden.Record().hWnd, hidden.Record().uID), nullptr);

  // The watch runs by itself.
  trayThere = false;
  late.CheckTaskbar();
  shown.SetIconVisible(false);
  shown.SetIconVisible(true);
  EXPECT_EQ(late.TrayIconOf(shown.Record().hWnd, shown.Record().uID), nullptr);
  late.SetTaskbarWatchInterval(20);
  trayThere = true;
  EXPECT_TRUE(
      WaitFor([&] { return late.TrayIconOf(shown.Record().hWnd, shown.Record().uID) != nullptr; }));
}

}  // namespace
}  // namespace lanvoy
