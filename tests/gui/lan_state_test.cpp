// The LAN state view on a simulated host: "ipconfig /all" captured into the text window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "gui_app.h"
#include "mainwindow/ui/main_form.h"
#include "platform/sim/sim_platform.h"
#include "sysread/ui/form_net_details.h"
#include "test_support/temp_dir.h"

namespace lanvoy {
namespace {

const char* kHeadShown =
    "Reading network details (ipconfig /all). \nPlease wait. This may take some seconds ... "
    "\n-------------------------------------------\n";

class LanStateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::GuiApp();
    dir.Write("Lanvoy.GUI", "[Programm]\r\nMsgAdminNeeded=1\r\n");
    dir.Write("Lanvoy.INI", "[p]\r\n");
    form = std::make_unique<TMainForm>(machine, questions, dir.File("Lanvoy.exe"),
                                       std::vector<std::string>{});
    form->FormCreate();
  }
  // Shows the view and closes it once until() holds (or after 10 s).
  void ShowUntil(const std::function<bool()>& until) {
    QElapsedTimer clock;
    clock.start();
    auto* poll = new QTimer(form.get());
    QObject::connect(poll, &QTimer::timeout, [&, poll] {
      if (until() || clock.elapsed() > 10000) {
        poll->stop();
        poll->deleteLater();
        form->FormNetDetails()->Button1->click();
      }
    });
    poll->start(5);
    form->BitBtn1->click();
  }
  std::string Text() { return form->FormNetDetails()->Text(); }
  bool Ended() { return !form->DosCommand().Running(); }

  test::TempDir dir;
  sim::SimPlatform machine{dir.path() / "host"};
  ScriptedQuestions questions;
  std::unique_ptr<TMainForm> form;
};

TEST_F(LanStateTest, ShowsTheReportBelowTheHeadWithoutEmptyLines) {
  ShowUntil([this] { return Ended(); });
  QApplication::processEvents();
  TFormNetDetails* view = form->FormNetDetails();
  EXPECT_EQ(view->windowTitle(), "Current network configuration of this PC (ipconfig /all)");
  EXPECT_EQ(view->size(), QSize(438, 449));
  EXPECT_EQ(view->minimumSize(), QSize(100, 140));
  EXPECT_EQ(view->Memo->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(form->DosCommand().Tag(), 1);
  const std::string text = Text();
  ASSERT_EQ(text.rfind(kHeadShown, 0), 0u) << text;
  const std::string report = text.substr(std::string(kHeadShown).size());
  EXPECT_EQ(report.rfind("Windows IP Configuration\n", 0), 0u) << report;
  EXPECT_NE(report.find("IP Address. . . . . . . . . . . . : 192.168.1.10\n"), std::string::npos);
  EXPECT_EQ(report.find("\n\n"), std::string::npos);
  EXPECT_EQ(report.find('\r'), std::string::npos);
  EXPECT_FALSE(view->isVisible());

  // A second showing holds only the second report.
  ShowUntil([this] { return Ended(); });
  QApplication::processEvents();
  EXPECT_EQ(Text(), text);
}

TEST_F(LanStateTest, ClosingEarlyThenReopeningStartsAFreshReport) {
  ShowUntil([] { return true; });
  ShowUntil([this] { return Ended(); });
  QApplication::processEvents();
  const std::string text = Text();
  EXPECT_EQ(text.rfind(kHeadShown, 0), 0u);
  size_t count = 0;
  for (size_t at = text.find("Windows IP Configuration"); at != std::string::npos;
       at = text.find("Windows IP Configuration", at + 1))
    ++count;
  EXPECT_EQ(count, 1u) << text;
}

}  // namespace
}  // namespace lanvoy
