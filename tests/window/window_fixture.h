// The main window's logic on a recording window: a program folder of its own, the window
// built from the layout, the questions answered from a script.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "mainwindow/main_form.h"
#include "profiles/ini_file.h"
#include "test_support/fake_platform.h"
#include "test_support/recording_window.h"
#include "test_support/scripted_questions.h"
#include "test_support/temp_dir.h"

namespace lanvoy::test {

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake.exePath = dir.File("Lanvoy.exe");
    // The administrator notice and the closing notice stay silent unless a test wants them.
    dir.Write("Lanvoy.GUI", "[Programm]\r\nMsgAdminNeeded=1\r\nMsgRestartBrowser=1\r\n");
  }
  void TearDown() override {
    form.reset();
    EXPECT_TRUE(questions.AllAnswered());
  }
  // The window with its creation sequence run. Get Current reads nothing unless the test
  // runs on a machine with netsh.
  TMainForm& Create(std::vector<std::string> args = {}) {
    form.reset();
    window = std::make_unique<RecordingWindow>();
    form = std::make_unique<TMainForm>(*machine, questions, dir.File("Lanvoy.exe"), std::move(args),
                                       *window);
    if (machine == &fake) {
      form->OnReadCurrentSettings = nullptr;
      form->OnReadConnections = nullptr;  // nor are the connections checked or verified
    }
    form->ApplyPause = std::chrono::milliseconds(0);
    form->FormCreate();
    return *form;
  }
  void Store(const std::string& text) { dir.Write("Lanvoy.INI", text); }
  IniFile StoreIni() { return IniFile(dir.File("Lanvoy.INI")); }
  IniFile OptionsIni() { return IniFile(dir.File("Lanvoy.GUI")); }

  // The window's controls, by the names of the layout.
  MemButton& Button(const std::string& name) { return window->Button(name); }
  MemCheckBox& Check(const std::string& name) { return window->Check(name); }
  MemTextField& Edit(const std::string& name) { return window->Edit(name); }
  MemComboBox& Combo(const std::string& name) { return window->Combo(name); }
  MemRadioGroup& Mode(const std::string& suffix = "") {
    return window->Get<MemRadioGroup>("RGDHCP" + suffix);
  }
  MemMenuItem& Item(const std::string& name) { return window->Get<MemMenuItem>(name); }
  MemTimer& TimerOf(const std::string& name) { return window->Get<MemTimer>(name); }
  MemSubMenu& Submenu() { return window->Get<MemSubMenu>("MenuApplyaprofile"); }
  MemListBox& List() { return window->List(); }
  MemGrid& Hosts() { return window->Hosts(); }
  MemMemo& MemoOf(const std::string& name) { return window->MemoOf(name); }
  std::string Text(const std::string& edit) { return Edit(edit).text; }
  bool Enabled(const std::string& name) {
    return dynamic_cast<Control&>(*window->controls.Find(name)).Enabled();
  }

  TempDir dir;
  FakePlatform fake;
  platform::Platform* machine = &fake;
  ScriptedQuestions questions;
  std::unique_ptr<RecordingWindow> window;
  std::unique_ptr<TMainForm> form;
};

}  // namespace lanvoy::test
