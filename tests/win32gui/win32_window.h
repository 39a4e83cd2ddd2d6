// The Win32 main window with its logic, in a program folder of its own (with a blank in its
// path), and what a user does to it, as real window messages into the real controls: a
// click is BM_CLICK, typing is WM_SETTEXT after the focus, a choice from a list is its
// selection with the notification a click sends to the list's parent.
#pragma once

#include "mainwindow/win32/win32_api.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "apply/proxy_settings.h"
#include "base/strings.h"
#include "components/win32/win32_notification_area.h"
#include "mainwindow/main_form.h"
#include "mainwindow/win32/win32_main_window.h"
#include "mainwindow/win32/win32_text.h"
#include "platform/platform.h"
#include "test_support/reported_windows.h"
#include "test_support/scripted_questions.h"
#include "test_support/temp_dir.h"

namespace lanvoy::test {

inline std::optional<std::string> Environment(const char* name) {
  char buffer[32768];
  DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  if (n == 0 || n >= sizeof buffer) return std::nullopt;
  return std::string(buffer, n);
}

inline void SetEnvironment(const char* name, const std::optional<std::string>& value) {
  SetEnvironmentVariableA(name, value ? value->c_str() : nullptr);
}

inline std::wstring WindowText(HWND h) {
  const int length = GetWindowTextLengthW(h);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(h, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  return text;
}

// Visible and enabled with every window it sits in: a user can reach it.
inline bool Reachable(HWND h) {
  if (!h || !IsWindowVisible(h)) return false;
  for (; h; h = GetParent(h)) {
    if (!IsWindowEnabled(h)) return false;
    if (!(GetWindowLongW(h, GWL_STYLE) & WS_CHILD)) break;
  }
  return true;
}

// Runs what is waiting in the message queue.
inline void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (Win32Window::PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

class Win32WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The stand-ins keep their network state in this test's folder; the dump's batch file
    // finds the netsh stand-in along PATH.
    SetEnvironment("LANVOY_HOST", (dir.path() / "host").string());
    SetEnvironment(
        "PATH", ExtractFilePath(machine->system().ExecutablePath()) + ";" + oldPath.value_or(""));
    InstallWin32CodePages(machine->system());
    // Internet Explorer's settings, which a fresh prefix lacks: Get Current reads them.
    if (auto key = machine->registry().Open(platform::RootKey::CurrentUser,
                                            std::string(kInternetSettingsKey), true)) {
      if (!key->Query("ProxyEnable")) key->SetDWord("ProxyEnable", 0);
      if (!key->Query("ProxyServer")) key->SetString("ProxyServer", "");
      if (!key->Query("ProxyOverride")) key->SetString("ProxyOverride", "");
    }
    // The administrator notice and the closing notice stay silent.
    dir.Write("Lanvoy.GUI", "[Programm]\r\nMsgAdminNeeded=1\r\nMsgRestartBrowser=1\r\n");
  }
  void TearDown() override {
    form.reset();
    window.reset();
    Pump();
    SetEnvironment("LANVOY_HOST", oldHost);
    SetEnvironment("PATH", oldPath);
  }

  TMainForm& Create() {
    window = std::make_unique<Win32MainWindow>(&area);
    window->ClosedForGood = [this] { closed = true; };
    area.SetApplication(window->Handle());
    form = std::make_unique<TMainForm>(*machine, questions, ExePath(), std::vector<std::string>{},
                                       *window);
    form->ApplyPause = std::chrono::milliseconds(0);
    form->FormCreate();
    Pump();
    return *form;
  }
  std::string ExePath() const { return dir.File("Lanvoy.exe"); }
  // The machine tells the window Windows 10 (the prefix plays XP).
  void ReportWindows10() {
    machine = std::make_unique<ReportedWindows>(std::move(machine),
                                                platform::System::Version{10, 0, 19045});
  }

  HWND H(const std::string& name) const {
    HWND h = (in ? in : window.get())->Named(name);
    EXPECT_TRUE(h) << name;
    return h;
  }
  void Click(const std::string& name) {
    HWND h = H(name);
    ASSERT_TRUE(Reachable(h)) << name << " cannot be clicked";
    SendMessageW(h, BM_CLICK, 0, 0);
    Pump();
  }
  // An item of a radio group.
  void ClickItem(const std::string& group, const std::wstring& item) {
    HWND h = FindWindowExW(H(group), nullptr, L"Button", item.c_str());
    ASSERT_TRUE(Reachable(h)) << group;
    SendMessageW(h, BM_CLICK, 0, 0);
    Pump();
  }
  void Type(const std::string& name, const std::wstring& text) {
    HWND h = H(name);
    ASSERT_TRUE(Reachable(h)) << name << " cannot be typed into";
    SetFocus(h);
    SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    Pump();
  }
  void Choose(const std::string& list, const std::wstring& entry) {
    HWND h = H(list);
    ASSERT_TRUE(Reachable(h)) << list;
    const LRESULT index = SendMessageW(h, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(entry.c_str()));
    ASSERT_NE(index, LB_ERR);
    SendMessageW(h, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(h));
    Pump();
  }
  // The tab of that caption, as a click on it changes it.
  void Tab(const std::string& tabs, const std::wstring& caption) {
    HWND h = H(tabs);
    ASSERT_TRUE(Reachable(h)) << tabs;
    const int count = TabCtrl_GetItemCount(h);
    for (int i = 0; i < count; ++i) {
      wchar_t text[64] = {};
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = text;
      item.cchTextMax = 64;
      SendMessageW(h, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
      if (caption != text) continue;
      SendMessageW(h, TCM_SETCURSEL, i, 0);
      NMHDR header{h, static_cast<UINT_PTR>(GetDlgCtrlID(h)), static_cast<UINT>(TCN_SELCHANGE)};
      SendMessageW(GetParent(h), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
      Pump();
      return;
    }
    FAIL() << "no tab " << A(caption);
  }
  void Menu(const std::string& item) {
    SendMessageW(window->Handle(), WM_COMMAND, MAKEWPARAM(window->CommandOf(item), 0), 0);
    Pump();
  }
  bool Checked(const std::string& name) {
    return SendMessageW(H(name), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  std::wstring Text(const std::string& name) { return WindowText(H(name)); }

  const std::optional<std::string> oldHost = Environment("LANVOY_HOST");
  const std::optional<std::string> oldPath = Environment("PATH");
  std::unique_ptr<platform::Platform> machine = platform::CreatePlatform();
  TempDir dir{"Program Files/Lanvoy"};
  Win32NotificationArea area{nullptr};
  ScriptedQuestions questions;
  std::unique_ptr<Win32MainWindow> window;
  // The window whose controls the helpers reach; the main window when none.
  Win32Window* in = nullptr;
  std::unique_ptr<TMainForm> form;
  bool closed = false;
};

}  // namespace lanvoy::test
