// The Qt side of the windows: every control of the layout as a widget of its name, caption,
// hint and place, the windows' own properties, and each kind of control's events reaching
// the logic through real input.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest/QTest>

#include "app/qt/form_help.h"
#include "apply/qt/form_progress.h"
#include "mainwindow/layout.h"
#include "mainwindow/qt/qt_text.h"
#include "qt_window.h"
#include "sysread/qt/form_net_details.h"
#include "test_support/fake_platform.h"
#include "test_support/scripted_questions.h"
#include "test_support/temp_dir.h"

namespace lanvoy {
namespace {

class QtWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::GuiApp();
    fake.exePath = dir.File("Lanvoy.exe");
    dir.Write("Lanvoy.GUI", "[Programm]\r\nMsgAdminNeeded=1\r\nMsgRestartBrowser=1\r\n");
    dir.Write("Lanvoy.INI", "[p]\r\nIP=10.0.0.1\r\nSubnet=\r\n");
    qt = std::make_unique<test::QtWindow>(fake, questions, fake.exePath);
  }
  void TearDown() override {
    qt.reset();
    EXPECT_TRUE(questions.AllAnswered());
  }
  template <class W>
  W* Find(const char* name) {
    return qt->Find<W>(name);
  }

  test::TempDir dir;
  test::FakePlatform fake;
  ScriptedQuestions questions;
  std::unique_ptr<test::QtWindow> qt;
};

QString Caption(const std::string& text) {
  return QString::fromStdString(text).replace("\r\n", "\n");
}

TEST_F(QtWindowTest, EveryControlOfTheLayoutIsAWidgetOfItsNameCaptionHintAndPlace) {
  const WindowLayout& layout = MainFormLayout();
  QtMainWindow window;  // as built, before the logic fills it
  EXPECT_EQ(window.objectName(), "MainForm");
  EXPECT_EQ(window.font().family(), "Arial");
  int widgets = 0;
  for (const ControlEntry& c : layout.controls) {
    if (c.kind == ControlKind::PopupMenu || c.kind == ControlKind::SubMenu) {
      EXPECT_NE(window.findChild<QMenu*>(QString::fromStdString(c.name)), nullptr) << c.name;
      continue;
    }
    if (c.kind == ControlKind::MenuItem) {
      auto* item = window.findChild<QAction*>(QString::fromStdString(c.name));
      ASSERT_NE(item, nullptr) << c.name;
      EXPECT_EQ(item->isSeparator() ? "-" : item->text(), Caption(c.caption)) << c.name;
      continue;
    }
    if (c.kind == ControlKind::Timer) {
      auto* timer = window.findChild<QTimer*>(QString::fromStdString(c.name));
      ASSERT_NE(timer, nullptr) << c.name;
      EXPECT_EQ(timer->interval(), c.width);
      continue;
    }
    QWidget* w = window.WidgetNamed(c.name);
    ASSERT_EQ(w->objectName().toStdString(), c.name);
    ++widgets;
    EXPECT_EQ(w->toolTip(), Caption(c.hint)) << c.name;
    const bool placed = c.kind != ControlKind::TabPage && c.width > 0;
    EXPECT_EQ(placed ? w->geometry() : QRect(),
              placed ? QRect(c.left, c.top, c.width, c.height) : QRect())
        << c.name;
    QString shown;
    if (auto* label = qobject_cast<QLabel*>(w)) shown = label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) shown = button->text();
    if (auto* group = qobject_cast<QGroupBox*>(w)) shown = group->title();
    if (auto* edit = qobject_cast<QLineEdit*>(w)) shown = edit->text();
    if (c.kind == ControlKind::TabPage) {
      auto* tabs = qobject_cast<QTabWidget*>(window.WidgetNamed(c.parent));
      shown = tabs->tabText(tabs->indexOf(w));
    }
    // An edit shows its default text; LabelBuilt is filled at creation.
    const std::string expected = c.kind == ControlKind::Edit ? c.text : c.caption;
    const bool filledLater = c.kind == ControlKind::Memo || c.kind == ControlKind::ComboBox ||
                             c.kind == ControlKind::ListBox;
    EXPECT_EQ(filledLater ? QString() : shown, filledLater ? QString() : Caption(expected))
        << c.name;
  }
  EXPECT_GT(widgets, 100);
  // The tray menu's default item is bold; the Mail tab starts disabled.
  EXPECT_EQ(qt->Find<QMenu>("PopUPTray")->defaultAction()->objectName(), "ShowWindow1");
  auto* tabs = Find<QTabWidget>("PageControl1");
  EXPECT_FALSE(tabs->isTabEnabled(tabs->indexOf(Find<QWidget>("SeiteMailClients"))));
}

TEST_F(QtWindowTest, EachKindOfControlReportsToTheLogic) {
  QtMainWindow& window = *qt->window;
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  // Button: Modify enters edit mode; the window is full size.
  QTest::mouseClick(Find<QPushButton>("ButtonModify"), Qt::LeftButton);
  EXPECT_TRUE(Find<QPushButton>("ButtonSave")->isEnabled());
  EXPECT_EQ(window.size(), QSize(540, 440));
  // Focus into a mask field: the default mask; Enter in the address moves on.
  Find<QLineEdit>("InputSubnet")->setFocus();
  EXPECT_EQ(Find<QLineEdit>("InputSubnet")->text(), "255.255.255.0");
  Find<QLineEdit>("InputIP")->setFocus();
  QTest::keyClick(Find<QLineEdit>("InputIP"), Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), Find<QLineEdit>("InputSubnet"));
  // Radio group: DHCP disables the static fields and ticks the boxes.
  auto* dhcp = Find<QGroupBox>("RGDHCP")->findChildren<QAbstractButton*>().at(1);
  QTest::mouseClick(dhcp, Qt::LeftButton, Qt::NoModifier, QPoint(8, dhcp->height() / 2));
  EXPECT_FALSE(Find<QLineEdit>("InputIP")->isEnabled());
  EXPECT_TRUE(Find<QCheckBox>("CheckGetDNSFromDHCP")->isChecked());
  // Check box: the hosts box enables the grid.
  QTest::mouseClick(Find<QCheckBox>("CheckincludeHosts"), Qt::LeftButton);
  EXPECT_TRUE(Find<QWidget>("GridHosts")->isEnabled());
  // Esc presses Cancel, which asks before it throws the changes away: No keeps them, Yes
  // gives view mode again with the focus on the list, not on the next button ("REBOOT !").
  questions.AnswerMessage(mrNo);
  QTest::keyClick(window.windowHandle(), Qt::Key_Escape);
  ASSERT_TRUE(test::ProcessEventsUntil([&] { return questions.AllAnswered(); }, 2000));
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtConfirmation: Discard the changes to the profile \"p\"? [Yes,No] "
            "default No");
  EXPECT_TRUE(Find<QPushButton>("ButtonSave")->isEnabled());
  EXPECT_TRUE(Find<QCheckBox>("CheckGetDNSFromDHCP")->isChecked());
  questions.AnswerMessage(mrYes);
  QTest::keyClick(window.windowHandle(), Qt::Key_Escape);
  EXPECT_TRUE(test::ProcessEventsUntil(
      [&] { return !Find<QPushButton>("ButtonSave")->isEnabled(); }, 2000));
  EXPECT_FALSE(Find<QCheckBox>("CheckGetDNSFromDHCP")->isChecked());
  EXPECT_EQ(QApplication::focusWidget(), Find<QWidget>("ProfileList"));
  // Menu item and timer.
  window.findChild<QAction*>("Modify1")->trigger();
  EXPECT_TRUE(Find<QPushButton>("ButtonSave")->isEnabled());
  QTest::mouseClick(Find<QPushButton>("ButtonCancel"), Qt::LeftButton);
  qt->form->CheckTray.SetChecked(false);
  QTest::mouseClick(Find<QAbstractButton>("ButtonMinimize"), Qt::LeftButton);
  EXPECT_TRUE(test::ProcessEventsUntil([&] { return window.isMinimized(); }, 3000));
}

TEST_F(QtWindowTest, TheWindowsItOwnsAsDesigned) {
  TFormProgress& progress = *qt->window->FormProgress();
  EXPECT_EQ(progress.windowTitle(), "Lanvoy in progress");
  EXPECT_EQ(progress.size(), QSize(379, 78));
  qt->form->ProgressRange(1, 5);
  EXPECT_EQ(progress.WidgetNamed<QProgressBar>("ProgressBar1")->minimum(), 1);
  EXPECT_EQ(progress.WidgetNamed<QProgressBar>("ProgressBar1")->maximum(), 5);
  qt->window->show();
  qt->form->ProgressStage(3, "Processing Host file modification/ script execution", true);
  EXPECT_TRUE(progress.isVisible());
  EXPECT_EQ(progress.WidgetNamed<QLabel>("LabelProgress")->text(),
            "Processing Host file modification/ script execution");
  qt->form->ProgressClose();
  EXPECT_FALSE(progress.isVisible());

  // The LAN state window shows console output as the OEM code page has it.
  qt->form->CreateNetDetailsForm();
  TFormNetDetails& details = *qt->window->FormNetDetails();
  EXPECT_EQ(details.windowTitle(), "Current network configuration of this PC (ipconfig /all)");
  EXPECT_EQ(details.size(), QSize(700, 449));
  EXPECT_EQ(details.minimumSize(), QSize(100, 260));
  auto* memo = details.WidgetNamed<QPlainTextEdit>("Memo");
  EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(memo->font().family(), "Terminal");
  // Resized, the text follows the window and OK its bottom right corner.
  details.show();
  QApplication::processEvents();
  const QSize designed = memo->size();
  details.resize(500, 300);
  QApplication::processEvents();
  EXPECT_EQ(details.WidgetNamed<QTabWidget>("PageControl1")->size(), QSize(500, 259));
  EXPECT_EQ(memo->size(), designed + QSize(500 - 700, 300 - 449));
  EXPECT_EQ(details.WidgetNamed<QPushButton>("Button1")->geometry().bottomRight(),
            QPoint(500 - 9, 300 - 9));
  details.hide();
  details.SetText("head\r\n");
  details.AppendLine(
      "Netzwerkbr\x81"
      "cke");
  details.AppendLine("part");
  details.ReplaceLastLine("partial line");
  EXPECT_EQ(memo->toPlainText(), QString::fromUtf8("head\nNetzwerkbrücke\npartial line\n"));
}

}  // namespace
}  // namespace lanvoy
