// The window on the simulated Windows host: registry, printers and shell of a real backend.
#include <gtest/gtest.h>

#include "app/options.h"
#include "gui_app.h"
#include "mainwindow/ui/main_form.h"
#include "platform/sim/host.h"
#include "platform/sim/sim_platform.h"
#include "test_support/temp_dir.h"

namespace lanvoy {
namespace {

TEST(MainFormOnSimHost, PrintersAutostartAndHostsFile) {
  test::GuiApp();
  test::TempDir dir;
  sim::SimPlatform machine(dir.path() / "host");
  dir.Write("Lanvoy.GUI", "[Programm]\r\nMsgAdminNeeded=1\r\n");
  dir.Write("Lanvoy.INI", "[p]\r\nIncludeHostModification=1\r\n");
  ScriptedQuestions questions;
  const std::string exe = dir.File("Lanvoy.exe");
  {
    TMainForm form(machine, questions, exe, {});
    form.FormCreate();
    std::vector<std::string> installed = machine.printers().Installed();
    ASSERT_EQ(form.ComboPrinters->count(), static_cast<int>(installed.size()));
    for (size_t i = 0; i < installed.size(); ++i)
      EXPECT_EQ(form.ComboPrinters->itemText(static_cast<int>(i)).toStdString(), installed[i]);

    form.CheckAutostart->click();
    auto key = machine.registry().Open(platform::RootKey::CurrentUser, kRunKey, false);
    ASSERT_NE(key, nullptr);
    auto value = key->Query("Lanvoy");
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->text, "\"" + exe + "\"");

    form.ButtonModifyClick();
    form.ButtonOpenHostFileClick();
    form.ButtonCancelClick();
  }
  EXPECT_NE(dir.Read("host/" + std::string(sim::kEventLogFile)).find("notepad.exe"),
            std::string::npos);
  EXPECT_NE(dir.Read("Lanvoy.GUI").find("Terminate=1"), std::string::npos);
}

}  // namespace
}  // namespace lanvoy
