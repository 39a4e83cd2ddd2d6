// What a user does with the mouse and the keyboard reaches the rules: real input events into
// the real widgets, found by their names.
#include <gtest/gtest.h>

#include <algorithm>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest/QTest>

#include "apply/qt/form_progress.h"
#include "mainwindow/qt/qt_questions.h"
#include "mainwindow/qt/qt_text.h"
#include "platform/sim/sim_platform.h"
#include "profiles/ini_file.h"
#include "qt_window.h"
#include "sysread/lan_state.h"
#include "sysread/qt/form_net_details.h"
#include "test_support/fake_platform.h"
#include "test_support/scripted_questions.h"
#include "test_support/temp_dir.h"

namespace lanvoy {
namespace {

class UserInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::GuiApp();
    platform.exePath = dir.File("Lanvoy.exe");
    dir.Write("Lanvoy.GUI", "[Programm]\r\nMsgAdminNeeded=1\r\nMsgRestartBrowser=1\r\n");
    dir.Write("Lanvoy.INI",
              "[Home]\r\nIP=192.168.1.2\r\nSubnet=255.255.255.0\r\nLongLANDescription=LAN\r\n"
              "[Office]\r\nIP=10.0.0.5\r\nSubnet=255.0.0.0\r\nLongLANDescription=LAN\r\n"
              "[Travel]\r\nIP=172.16.0.9\r\nSubnet=255.255.0.0\r\nLongLANDescription=LAN\r\n");
  }
  void TearDown() override {
    qt.reset();
    EXPECT_TRUE(questions.AllAnswered());
  }
  void Create() {
    qt = std::make_unique<test::QtWindow>(platform, questions, platform.exePath);
    form = qt->form.get();
    window = qt->window.get();
    window->show();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
  }
  template <class W>
  W* Find(const char* name) {
    return qt->Find<W>(name);
  }
  std::string Text(const char* name) { return Find<QLineEdit>(name)->text().toStdString(); }
  QListWidget* List() { return Find<QListWidget>("ProfileList"); }
  QPoint RowCentre(int row) { return List()->visualItemRect(List()->item(row)).center(); }
  // The connection tables that Get Current would have filled.
  void Connections() {
    TNetworkInfoSet table(2);
    table[0].LongLANDescription = "LAN";
    table[0].IP = "10.1.1.1";
    table[1].LongLANDescription = "WLAN";
    table[1].IP = "10.2.2.2";
    form->ShowConnections(table);
  }
  void Type(QComboBox* combo, const QString& text) {
    combo->setFocus();
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), text);
  }
  // Opens the list of the box and clicks the row.
  void Choose(QComboBox* combo, int row) {
    QTest::mouseClick(combo, Qt::LeftButton, Qt::NoModifier,
                      QPoint(combo->width() - 6, combo->height() / 2));  // its arrow
    ASSERT_TRUE(test::ProcessEventsUntil([&] { return combo->view()->isVisible(); }, 2000));
    QAbstractItemView* view = combo->view();
    const QPoint at = view->visualRect(view->model()->index(row, 0)).center();
    QTest::mouseMove(view->viewport(), at);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    ASSERT_TRUE(test::ProcessEventsUntil([&] { return !view->isVisible(); }, 2000));
  }

  test::TempDir dir;
  test::FakePlatform platform;
  ScriptedQuestions questions;
  std::unique_ptr<test::QtWindow> qt;
  TMainForm* form = nullptr;
  QtMainWindow* window = nullptr;
};

TEST_F(UserInputTest, ClickKeyAndDoubleClickShowTheProfileTheyReach) {
  Create();
  EXPECT_EQ(Text("InputIP"), "192.168.1.2");

  QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier, RowCentre(1));
  EXPECT_EQ(Text("InputIP"), "10.0.0.5");
  QTest::keyClick(List(), Qt::Key_Down);
  EXPECT_EQ(Text("InputIP"), "172.16.0.9");
  // A click on the free area below the entries keeps the profile shown and selected.
  QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(10, List()->viewport()->height() - 3));
  EXPECT_EQ(form->SelectedProfile(), "Travel");

  // A double click applies the entry clicked, after the question that names it.
  Find<QCheckBox>("CheckboxValidationMessage")->setChecked(true);
  questions.AnswerMessage(mrYes);
  QTest::mouseDClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier, RowCentre(0));
  EXPECT_EQ(Text("InputIP"), "192.168.1.2");
  ASSERT_FALSE(questions.Asked().empty());
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtConfirmation: Apply profile \"Home\" to your system? [Yes,Cancel]");
  ASSERT_EQ(platform.NetshRuns().size(), 1u);

  // Modify and Save write the values of the profile clicked, under its name.
  QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier, RowCentre(1));
  QTest::mouseClick(Find<QPushButton>("ButtonModify"), Qt::LeftButton);
  questions.AnswerMessage(mrNo);
  QTest::mouseClick(Find<QPushButton>("ButtonSave"), Qt::LeftButton);
  EXPECT_EQ(IniFile(dir.File("Lanvoy.INI")).ReadString("Office", "IP", ""), "10.0.0.5");
  EXPECT_EQ(IniFile(dir.File("Lanvoy.INI")).ReadString("Home", "IP", ""), "192.168.1.2");
}

TEST_F(UserInputTest, TypingAConnectionNameRunsNoRuleChoosingFromTheListDoes) {
  Create();
  QTest::mouseClick(Find<QPushButton>("ButtonModify"), Qt::LeftButton);
  Connections();
  QComboBox* name1 = Find<QComboBox>("EditLongLanDescription");
  QComboBox* name2 = Find<QComboBox>("EditLongLanDescriptionLan2");
  EXPECT_EQ(Text("InputIP"), "10.1.1.1");

  // Typed over connection 1 with its own addresses: the typed text is the name, in its case.
  Find<QLineEdit>("InputIP")->setText("192.168.7.7");
  Type(name1, "wlan");
  QTest::keyClick(name1->lineEdit(), Qt::Key_Return);
  Find<QLineEdit>("InputIP")->setFocus();  // editing ends
  EXPECT_EQ(name1->currentText().toStdString(), "wlan");
  EXPECT_EQ(Text("InputIP"), "192.168.7.7");

  // Connection 1's name in other letter case is accepted for connection 2, without a word.
  Type(name1, "LAN");
  QTabBar* connections = Find<QTabWidget>("PageControl2")->tabBar();
  QTest::mouseClick(connections, Qt::LeftButton, Qt::NoModifier, connections->tabRect(1).center());
  Type(name2, "lan");
  QTest::keyClick(name2->lineEdit(), Qt::Key_Return);
  Find<QLineEdit>("InputIPLan2")->setFocus();
  EXPECT_EQ(name2->currentText().toStdString(), "lan");

  // Chosen from the list, a name fills the connection's fields; connection 1's own name is
  // refused for connection 2.
  Choose(name2, 1);
  EXPECT_EQ(name2->currentText().toStdString(), "WLAN");
  EXPECT_EQ(Text("InputIPLan2"), "10.2.2.2");
  questions.AnswerMessage(mrOk);
  Choose(name2, 0);
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtError: This Connection is in use allready by connection 1! [OK]");
  EXPECT_EQ(name2->currentText().toStdString(), "");
}

// Typed key by key, an address is tinted until it is one: the tint as the screen shows it.
// On the page "IPv6 and more" a full IPv6 address stands whole in each of its fields, and
// Save writes what was typed and clicked there.
TEST_F(UserInputTest, AddressesTypedAreTintedUntilValidAndSavedWhole) {
  platform.windowsVersion = {10, 0, 19045};  // the page "IPv6 and more" takes input
  Create();
  QTest::mouseClick(Find<QPushButton>("ButtonModify"), Qt::LeftButton);
  QLineEdit* ip = Find<QLineEdit>("InputIP");
  auto tinted = [ip] {
    const QImage shot = ip->grab().toImage();
    const QColor c = shot.pixelColor(shot.width() - 6, shot.height() / 2);
    return c.red() > c.green() + 30;
  };
  EXPECT_FALSE(tinted());
  QTest::mouseClick(ip, Qt::LeftButton);
  QTest::keyClick(ip, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(ip, "10.0.0.");
  EXPECT_TRUE(tinted()) << Text("InputIP");
  QTest::keyClick(ip, Qt::Key_5);
  EXPECT_FALSE(tinted()) << Text("InputIP");

  QTabBar* connections = Find<QTabWidget>("PageControl2")->tabBar();
  ASSERT_EQ(connections->tabText(2), "IPv6 and more 1");
  QTest::mouseClick(connections, Qt::LeftButton, Qt::NoModifier, connections->tabRect(2).center());
  auto item = [&](const char* group, const QString& text) {
    for (QRadioButton* button : Find<QGroupBox>(group)->findChildren<QRadioButton*>())
      if (button->text() == text) return button;
    ADD_FAILURE() << group << ": " << text.toStdString();
    return static_cast<QRadioButton*>(nullptr);
  };
  auto type = [&](const char* name, const char* keys) {
    QLineEdit* field = Find<QLineEdit>(name);
    EXPECT_TRUE(field->isVisible() && field->isEnabled()) << name;
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClicks(field, keys);
    return field;
  };
  const char* address = "2001:db8:85a3:1234:5678:8a2e:370:7334";
  QTest::mouseClick(item("RGIPv6Mode", "Static"), Qt::LeftButton);
  for (const char* name :
       {"InputIPv6", "InputIPv6_2", "InputIPv6Gateway", "InputIPv6DNS", "InputIPv6DNS2"}) {
    QLineEdit* field = type(name, address);
    // Its end is where it would be unscrolled (the field scrolls when it paints).
    auto cursor = [field] {
      field->repaint();
      return field->inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
    };
    const int end = cursor();
    field->home(false);
    EXPECT_GE(end - cursor(), field->fontMetrics().horizontalAdvance(field->text()) - 1) << name;
  }
  type("InputIPv6Prefix", "64/");  // digits only
  QTest::mouseClick(Find<QCheckBox>("CheckIPv6DNSFromDHCP"), Qt::LeftButton);
  EXPECT_FALSE(Find<QLineEdit>("InputIPv6DNS")->isEnabled());
  type("InputGatewayMetric", "25");
  QTest::mouseClick(item("RGAdapterState", "Disabled"), Qt::LeftButton);
  questions.AnswerMessage(mrNo);  // not applied now
  QTest::mouseClick(Find<QPushButton>("ButtonSave"), Qt::LeftButton);
  IniFile store(dir.File("Lanvoy.INI"));
  const std::pair<const char*, const char*> keys[] = {
      {"IP", "10.0.0.5"},    {"IPv6Mode", "0"},       {"IPv6", address},
      {"IPv6Prefix", "64"},  {"IPv6_2", address},     {"IPv6DNS2", address},
      {"DHCP_IPv6DNS", "1"}, {"GatewayMetric", "25"}, {"AdapterState", "0"}};
  for (const auto& [key, value] : keys) EXPECT_EQ(store.ReadString("Home", key, ""), value) << key;
  EXPECT_EQ(store.ReadString("Office", "IPv6", "none"), "none");
}

TEST_F(UserInputTest, OpenFromTheTrayRestoresAWindowMinimizedFromItsTitleBar) {
  Create();
  window->showMinimized();
  ASSERT_TRUE(test::ProcessEventsUntil([&] { return window->isMinimized(); }, 2000));
  window->findChild<QAction*>("ShowWindow1")->trigger();
  EXPECT_TRUE(test::ProcessEventsUntil([&] { return !window->isMinimized(); }, 2000));
  EXPECT_TRUE(window->isVisible());
}

// The tray menu's profiles are made when a user opens "Apply a profile" with the mouse.
TEST_F(UserInputTest, TheTrayMenuShowsItsProfilesWhenTheMouseOpensThem) {
  Create();
  auto* tray = Find<QMenu>("PopUPTray");
  auto* profiles = Find<QMenu>("MenuApplyaprofile");
  tray->popup(window->geometry().center());
  ASSERT_TRUE(test::ProcessEventsUntil([&] { return tray->isVisible(); }, 2000));
  const QPoint at = tray->actionGeometry(profiles->menuAction()).center();
  QTest::mouseMove(tray, at);
  QTest::mouseClick(tray, Qt::LeftButton, Qt::NoModifier, at);
  ASSERT_TRUE(test::ProcessEventsUntil([&] { return profiles->isVisible(); }, 2000));
  std::vector<std::string> shown;
  for (QAction* item : profiles->actions()) shown.push_back(item->text().toStdString());
  EXPECT_EQ(shown, (std::vector<std::string>{"Home", "Office", "Travel"}));
  tray->hide();
}

TEST_F(UserInputTest, TheHelpWindowStaysOnTheScreenOfTheMainWindow) {
  Create();
  const QRect work = window->screen()->availableGeometry();
  window->move(work.right() - window->frameGeometry().width() + 1,
               work.bottom() - window->frameGeometry().height() + 1);
  // More, the tab "Info", Help.
  QTest::mouseClick(Find<QToolButton>("ButtonMoreLess"), Qt::LeftButton);
  QTabBar* tabs = Find<QTabWidget>("PageControl1")->tabBar();
  QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(8).center());
  QRect help;
  QTimer::singleShot(0, [&] {
    QWidget* window = QApplication::activeModalWidget();
    if (!window) return;
    help = window->frameGeometry();
    window->close();
  });
  QTest::mouseClick(Find<QPushButton>("Button1"), Qt::LeftButton);
  ASSERT_TRUE(help.isValid());
  EXPECT_TRUE(work.contains(help))
      << help.x() << "," << help.y() << " " << help.width() << "x" << help.height();
}

// The name box of "Copy" and "New": its whole caption in the title bar, the name typed; Esc
// ends the copy without one.
TEST(NameBox, ShowsItsWholeCaptionAndTakesTheName) {
  test::GuiApp();
  test::TempDir dir;
  test::FakePlatform platform;
  platform.exePath = dir.File("Lanvoy.exe");
  dir.Write("Lanvoy.GUI", "[Programm]\r\nMsgAdminNeeded=1\r\nMsgRestartBrowser=1\r\n");
  dir.Write("Lanvoy.INI", "[Home]\r\nIP=192.168.1.2\r\n");
  QtQuestions questions;
  test::QtWindow qt(platform, questions, platform.exePath);
  questions.SetOwner(qt.window.get());
  qt.window->show();
  const struct {
    const char* button;
    const char* caption;
    const char* typed;  // then OK, or Esc when nothing is made; none: Enter takes the proposal
    const char* made;
  } boxes[] = {{"ButtonCopy", "Copy Profile", "Kopie", nullptr},
               {"ButtonCopy", "Copy Profile", nullptr, "Copy of Home"},
               {"ButtonNew", "New IP- Profile", "Office", "Office"}};
  for (const auto& b : boxes) {
    QString title;
    int width = 0;
    QTimer::singleShot(0, [&] {
      test::ProcessEventsUntil([] { return QApplication::activeModalWidget() != nullptr; }, 2000);
      QWidget* box = QApplication::activeModalWidget();
      if (!box) return;
      title = box->windowTitle();
      width = box->width();
      auto* value = box->findChild<QLineEdit*>("Value");
      if (!value) {
        box->close();
        return;
      }
      if (!b.typed) return QTest::keyClick(value, Qt::Key_Return);
      QTest::keyClicks(value, b.typed);
      if (!b.made) return QTest::keyClick(value, Qt::Key_Escape);
      QTest::mouseClick(box->findChild<QPushButton*>("OK"), Qt::LeftButton);
    });
    QTest::mouseClick(qt.Find<QPushButton>(b.button), Qt::LeftButton);
    EXPECT_EQ(title, b.caption);
    // The caption in bold beside the icon and three caption buttons as wide as Windows 10's.
    QFont bold = QApplication::font();
    bold.setBold(true);
    EXPECT_GE(width, QFontMetrics(bold).horizontalAdvance(title) + 24 + 3 * 46) << b.caption;
    if (b.made) {
      EXPECT_TRUE(IniFile(dir.File("Lanvoy.INI")).SectionExists(b.made)) << b.made;
    } else {
      EXPECT_EQ(IniFile(dir.File("Lanvoy.INI")).ReadSections(), std::vector<std::string>{"Home"});
    }
  }
}

// "Show LAN state" on the simulated host: ipconfig's report line for line, blank lines
// too, and its widest line whole.
TEST(LanStateView, ShowsTheWholeReportWithItsBlankLines) {
  test::GuiApp();
  test::TempDir dir;
  sim::SimPlatform machine(dir.path() / "host");
  dir.Write("Lanvoy.GUI", "[Programm]\r\nMsgAdminNeeded=1\r\n");
  dir.Write("Lanvoy.INI", "[Office]\r\n");
  ScriptedQuestions questions;
  test::QtWindow qt(machine, questions, dir.File("Lanvoy.exe"), true);
  qt.window->show();
  QString shown;
  int hiddenWidth = -1;
  QTimer::singleShot(0, [&] {
    test::ProcessEventsUntil([&] { return !qt.form->DosCommand().Running(); }, 10000);
    QApplication::processEvents();
    TFormNetDetails& details = *qt.window->FormNetDetails();
    auto* memo = details.WidgetNamed<QPlainTextEdit>("Memo");
    shown = memo->toPlainText();
    hiddenWidth = memo->horizontalScrollBar()->maximum();
    QTest::mouseClick(details.WidgetNamed<QPushButton>("Button1"), Qt::LeftButton);
  });
  QTest::mouseClick(qt.Find<QPushButton>("BitBtn1"), Qt::LeftButton);

  QString expected = Q(kLanStateHead);
  int blank = 0;
  for (const std::string& line : qt.form->DosCommand().CapturedLines()) {
    expected += FromOem(line) + "\n";
    blank += line.empty();
  }
  EXPECT_GT(blank, 2);
  EXPECT_EQ(shown.toStdString(), expected.toStdString());
  EXPECT_EQ(hiddenWidth, 0) << "a line is cut";
}

// The undo button beside Apply, then the page "History" of the LAN state view, clicked with
// the mouse on the simulated host: each asks naming the apply, and the state comes back.
TEST(UndoByMouse, TheButtonBesideApplyAndTheHistoryPageGoBack) {
  test::GuiApp();
  test::TempDir dir;
  sim::SimPlatform machine(dir.path() / "host");
  dir.Write("Lanvoy.GUI",
            "[Programm]\r\nMsgAdminNeeded=1\r\nMsgRestartBrowser=1\r\nTerminate=0\r\n"
            "NoActionAfterApply=1\r\nNoValidationMessage=0\r\n");
  dir.Write("Lanvoy.INI",
            "[B\xFCro]\r\nLongLANDescription=LAN-Verbindung\r\nDHCP=0\r\nIP=10.1.1.5\r\n"
            "Subnet=255.255.255.0\r\nDNS=10.1.1.53\r\n[Zuhause]\r\nLongLANDescription=WLAN\r\n"
            "DHCP=0\r\nIP=10.2.2.5\r\nSubnet=255.255.255.0\r\nDNS=10.2.2.53\r\n");
  ScriptedQuestions questions;
  // As the program starts: the host's ANSI code page, in which "B\xFCro" is stored.
  InstallQtCodePages(machine.system());
  test::QtWindow qt(machine, questions, dir.File("Lanvoy.exe"), true);
  qt.window->show();
  auto* undo = qt.Find<QPushButton>("ButtonUndo");
  auto* apply = qt.Find<QPushButton>("ButtonApply");
  EXPECT_FALSE(undo->isEnabled());
  EXPECT_EQ(undo->geometry().top(), apply->geometry().top());  // beside it
  auto* list = qt.Find<QListWidget>("ProfileList");
  std::vector<std::string> network{dir.Read("host/network.ini")};
  for (int row : {0, 1}) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(list->item(row)).center());
    QTest::mouseClick(apply, Qt::LeftButton);
    network.push_back(dir.Read("host/network.ini"));
  }
  ASSERT_NE(network[2], network[1]);
  ASSERT_TRUE(undo->isEnabled());

  const std::string zuhause =
      "the apply of Zuhause at " + qt.form->Session().Snapshots().Last()->taken.substr(11, 5);
  questions.AnswerMessage(mrYes);
  questions.AnswerMessage(mrOk);
  QTest::mouseClick(undo, Qt::LeftButton);
  ASSERT_EQ(questions.Asked().size(), 2u);
  EXPECT_EQ(questions.Asked()[0], "MessageDlg mtConfirmation: Undo " + zuhause + "? [Yes,No]");
  EXPECT_EQ(questions.Asked()[1],
            "MessageDlg mtInformation: The settings before " + zuhause + " are back. [OK]");
  EXPECT_EQ(dir.Read("host/network.ini"), network[1]);

  // On the page "History", the oldest apply chosen and restored before.
  std::vector<std::string> listed, after;
  QTimer::singleShot(0, [&] {
    test::ProcessEventsUntil([&] { return !qt.form->DosCommand().Running(); }, 10000);
    TFormNetDetails& details = *qt.window->FormNetDetails();
    QTabBar* tabs = details.WidgetNamed<QTabWidget>("PageControl1")->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(1).center());
    auto* kept = details.WidgetNamed<QListWidget>("ListSnapshots");
    auto* restore = details.WidgetNamed<QPushButton>("ButtonRestoreBefore");
    for (int i = 0; i < kept->count(); ++i) listed.push_back(S(kept->item(i)->text()));
    if (kept->count() == 2) {
      QTest::mouseClick(kept->viewport(), Qt::LeftButton, Qt::NoModifier,
                        kept->visualItemRect(kept->item(1)).center());
      questions.AnswerMessage(mrYes);
      questions.AnswerMessage(mrOk);
      QTest::mouseClick(restore, Qt::LeftButton);
    }
    for (int i = 0; i < kept->count(); ++i) after.push_back(S(kept->item(i)->text()));
    QTest::mouseClick(details.WidgetNamed<QPushButton>("Button1"), Qt::LeftButton);
  });
  QTest::mouseClick(qt.Find<QPushButton>("BitBtn1"), Qt::LeftButton);
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_NE(listed[0].find("  undo of Zuhause"), std::string::npos) << listed[0];
  EXPECT_NE(listed[1].find("  B\xFCro"), std::string::npos) << listed[1];
  ASSERT_EQ(questions.Asked().size(), 4u);
  EXPECT_EQ(questions.Asked()[2].rfind("MessageDlg mtConfirmation: Restore the state before the "
                                       "apply of B\xFCro at ",
                                       0),
            0u)
      << questions.Asked()[2];
  EXPECT_EQ(dir.Read("host/network.ini"), network[0]);
  ASSERT_EQ(after.size(), 1u);
  EXPECT_NE(after[0].find("  undo of B\xFCro and the 1 apply after it"), std::string::npos);
}

// netsh taking 10 s over the apply's script, as Windows' does over a DHCP switch: the window
// and the progress window go on answering and painting, a click on Apply meanwhile starts
// nothing, and the apply ends as it would at once.
TEST(Answering, TheWindowAnswersWhileASlowNetshRuns) {
  test::GuiApp();
  test::TempDir dir;
  sim::SimPlatform machine(dir.path() / "host");
  dir.Write("host/netsh-delay-ms", "10000");
  dir.Write("Lanvoy.GUI",
            "[Programm]\r\nMsgAdminNeeded=1\r\nMsgRestartBrowser=1\r\nTerminate=0\r\n"
            "NoActionAfterApply=1\r\nNoValidationMessage=0\r\n");
  dir.Write("Lanvoy.INI",
            "[B\xFCro]\r\nLongLANDescription=LAN-Verbindung\r\nDHCP=0\r\nIP=10.1.1.5\r\n"
            "Subnet=255.255.255.0\r\nDNS=10.1.1.53\r\n");
  ScriptedQuestions questions;
  InstallQtCodePages(machine.system());  // as the program starts: "B\xFCro" in ANSI
  test::QtWindow qt(machine, questions, dir.File("Lanvoy.exe"), true);
  qt.window->show();
  auto* list = qt.Find<QListWidget>("ProfileList");
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                    list->visualItemRect(list->item(0)).center());
  auto* apply = qt.Find<QPushButton>("ButtonApply");
  QWidget* progress = qt.window->FormProgress();

  // A tick every 10 ms: the longest time between two is how long the window left a
  // message unanswered.
  QElapsedTimer clock, since;
  qint64 longest = 0, painted = 0;
  int ticks = 0;
  bool progressShown = false, clicked = false;
  QTimer tick;
  tick.setInterval(10);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    longest = std::max(longest, since.restart());
    ++ticks;
    progressShown = progressShown || progress->isVisible();
    if (!clicked && clock.elapsed() > 2000) {
      clicked = true;
      QTest::mouseClick(apply, Qt::LeftButton);
      progress->update();
    }
  });
  struct Paints : QObject {
    qint64* count;
    bool eventFilter(QObject*, QEvent* event) override {
      *count += event->type() == QEvent::Paint;
      return false;
    }
  } paints;
  paints.count = &painted;
  progress->installEventFilter(&paints);
  clock.start();
  since.start();
  tick.start();
  QTest::mouseClick(apply, Qt::LeftButton);
  tick.stop();
  progress->removeEventFilter(&paints);

  EXPECT_GE(clock.elapsed(), 10000);
  EXPECT_GT(ticks, 500);
  EXPECT_LT(longest, 100) << "ms without an answer";
  EXPECT_TRUE(progressShown);
  EXPECT_GT(painted, 0);
  EXPECT_TRUE(clicked);
  EXPECT_EQ(qt.form->Session().Snapshots().All().size(), 1u) << "a second apply started";
  EXPECT_NE(dir.Read("host/network.ini").find("10.1.1.5"), std::string::npos);
}

}  // namespace
}  // namespace lanvoy
