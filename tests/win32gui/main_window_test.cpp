// The Win32 main window driven by real window messages, in the same process: edits saved
// to the store, edit mode's enabled controls as the logic sets them, an apply through the
// netsh stand-in read back by Get Current with German connection names, the tray icon.
#include "win32gui/win32_window.h"
// windows.h first.
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "apply/win32/form_progress.h"
#include "base/strings.h"
#include "mainwindow/memory_window.h"
#include "mainwindow/win32/win32_questions.h"
#include "profiles/ini_file.h"
#include "sysread/lan_state.h"
#include "sysread/win32/form_net_details.h"
#include "test_support/scripted_questions.h"

namespace lanvoy {
namespace {

using test::Pump;
using test::Reachable;

// "Netzwerkbrücke ä ö ü ß" and the rest, as Windows-1252 bytes and as the window shows them.
const std::string kBridge =
    "Netzwerkbr\xFC"
    "cke \xE4 \xF6 \xFC \xDF";
const std::wstring kBridgeWide = L"Netzwerkbr\u00FCcke \u00E4 \u00F6 \u00FC \u00DF";

class MainWindowTest : public test::Win32WindowTest {
 protected:
  void SetUp() override {
    Win32WindowTest::SetUp();
    std::string network;
    for (const std::string& name :
         {kBridge, std::string("LAN-Verbindung 2"), std::string("Drahtlose Netzwerkverbindung")})
      network += "[" + name + "]\r\nMode=dhcp\r\nDnsSource=dhcp\r\nWinsSource=dhcp\r\n";
    dir.Write("host/network.ini", network);
  }
  // The window made, set to stay open after an apply, the profile chosen; every question
  // answered yes.
  void OpenToApply(const std::wstring& profile) {
    Create();
    questions.SetDefaultMessageAnswer(mrYes);
    Click("ButtonMoreLess");
    Tab("PageControl1", L"Program Options");
    Click("CheckNoAction");
    Choose("ProfileList", profile);
  }
};

TEST_F(MainWindowTest, ProfileEditedInTheWindowIsSavedToTheStore) {
  dir.Write("Lanvoy.INI", "[Office]\r\nLongLANDescription=LAN-Verbindung 2\r\nDHCP=1\r\n");
  ReportWindows10();  // the page "IPv6 and more" takes input
  Create();
  Choose("ProfileList", L"Office");
  Click("ButtonMoreLess");
  Click("ButtonModify");
  Type("EditLongLanDescription", kBridgeWide);
  ClickItem("RGDHCP", L"Static address");
  Type("InputIP", L"10.1.2.3");
  Type("InputSubnet", L"255.255.255.0");
  Tab("PageControl2", L"IPv6 and more 1");
  EXPECT_FALSE(Reachable(H("InputIPv6")));
  ClickItem("RGIPv6Mode", L"Static");
  const std::wstring address = L"2001:db8:85a3:1234:5678:8a2e:370:7334";
  Type("InputIPv6", address);
  Type("InputIPv6Prefix", L"64");
  Click("CheckIPv6DNSFromDHCP");
  EXPECT_FALSE(Reachable(H("InputIPv6DNS")));
  Type("InputWlanProfile", L"B\u00FCro-WLAN");
  ClickItem("RGAdapterState", L"Enabled");
  {
    // The whole address stands in its field, its first character at the left.
    HWND field = H("InputIPv6");
    SendMessageW(field, EM_SETSEL, 0, 0);
    SendMessageW(field, EM_SCROLLCARET, 0, 0);
    const LRESULT last = SendMessageW(field, EM_POSFROMCHAR, address.size() - 1, 0);
    HDC dc = GetDC(field);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(field, WM_GETFONT, 0, 0)));
    SIZE digit{};
    GetTextExtentPoint32W(dc, L"4", 1, &digit);
    SelectObject(dc, old);
    ReleaseDC(field, dc);
    RECT text{};
    SendMessageW(field, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    EXPECT_LE(GET_X_LPARAM(last) + digit.cx, text.right);
  }
  Tab("PageControl2", L"Connection 2");
  Type("EditLongLanDescriptionLan2", L"Drahtlose Netzwerkverbindung");
  ClickItem("RGDHCPLan2", L"DHCP");  // static without an address would stop the save
  Tab("PageControl2", L"IPv6 and more 2");
  Type("InputDNSSuffixLan2", L"labor.example");
  Tab("PageControl1", L"Internet");
  Click("CheckEnableProxy");
  Type("Inputproxy", L"cache.b\u00FCro");
  questions.AnswerMessage(mrNo);  // not applied now
  Click("ButtonSave");

  IniFile store(dir.File("Lanvoy.INI"));
  EXPECT_EQ(store.ReadString("Office", "LongLANDescription", ""), kBridge);
  EXPECT_EQ(store.ReadString("Office", "DHCP", ""), "0");
  EXPECT_EQ(store.ReadString("Office", "IP", ""), "10.1.2.3");
  EXPECT_EQ(store.ReadString("Office", "Subnet", ""), "255.255.255.0");
  EXPECT_EQ(store.ReadString("Office", "LongLANDescriptionLan2", ""),
            "Drahtlose Netzwerkverbindung");
  EXPECT_EQ(store.ReadString("Office", "Proxy", ""), "cache.b\xFCro");
  EXPECT_EQ(store.ReadString("Office", "EnableProxy", ""), "1");
  EXPECT_EQ(store.ReadString("Office", "IPv6Mode", ""), "0");
  EXPECT_EQ(store.ReadString("Office", "IPv6", ""), "2001:db8:85a3:1234:5678:8a2e:370:7334");
  EXPECT_EQ(store.ReadString("Office", "IPv6Prefix", ""), "64");
  EXPECT_EQ(store.ReadString("Office", "DHCP_IPv6DNS", ""), "1");
  EXPECT_EQ(store.ReadString("Office", "WlanProfile", ""), "B\xFCro-WLAN");
  EXPECT_EQ(store.ReadString("Office", "AdapterState", ""), "1");
  EXPECT_EQ(store.ReadString("Office", "DNSSuffixLan2", ""), "labor.example");
  EXPECT_FALSE(Reachable(H("ButtonSave")));
}

// Every control of the layout is enabled in the window exactly when the logic, run on the
// same clicks in memory, says so: in view mode, in edit mode, and back; on Windows 10, where
// the page "IPv6 and more" takes input.
TEST_F(MainWindowTest, EditModeEnablesWhatTheLogicEnables) {
  dir.Write("Lanvoy.INI", "[Home]\r\nDHCP=1\r\nLongLANDescription=LAN-Verbindung 2\r\n");
  ReportWindows10();
  Create();
  MemoryWindow memory;
  ScriptedQuestions memoryQuestions;
  TMainForm logic(*machine, memoryQuestions, ExePath(), {}, memory);
  logic.FormCreate();
  auto compare = [&](const char* stage) {
    for (const ControlEntry& c : MainFormLayout().controls) {
      auto* mem = dynamic_cast<Control*>(memory.Controls().Find(c.name));
      if (!mem) continue;
      EXPECT_EQ(IsWindowEnabled(H(c.name)) != FALSE, mem->Enabled()) << stage << ": " << c.name;
    }
  };
  compare("at start");
  Choose("ProfileList", L"Home");
  memory.List().Click("Home");
  Click("ButtonMoreLess");
  memory.Button("ButtonMoreLess").Click();
  compare("viewing");
  Click("ButtonModify");
  memory.Button("ButtonModify").Click();
  compare("editing");
  ClickItem("RGDHCP", L"Static address");
  memory.Get<MemRadioGroup>("RGDHCP").Click(0);
  compare("static address");
  EXPECT_TRUE(IsWindowEnabled(H("InputIP")));
  Tab("PageControl2", L"IPv6 and more 2");
  ClickItem("RGIPv6ModeLan2", L"Static");
  memory.Get<MemRadioGroup>("RGIPv6ModeLan2").Click(1);
  Click("CheckIPv6DNSFromDHCPLan2");
  memory.Check("CheckIPv6DNSFromDHCPLan2").Click();
  compare("IPv6 static, its DNS from DHCP");
  EXPECT_TRUE(IsWindowEnabled(H("InputIPv6GatewayLan2")));
  EXPECT_FALSE(IsWindowEnabled(H("InputIPv6DNSLan2")));
  Tab("PageControl2", L"Connection 1");
  // The mail tab can be chosen only while editing.
  Tab("PageControl1", L"Mail");
  EXPECT_TRUE(IsWindowVisible(H("SeiteMailClients")));
  // Esc, a real key, presses Cancel: a change is not thrown away without a question, whose
  // Enter button is No; Yes goes back to view mode, the focus on the list.
  auto escape = [&] {
    SetForegroundWindow(window->Handle());
    SetFocus(H("InputIP"));
    INPUT key[2] = {};
    key[0].type = key[1].type = INPUT_KEYBOARD;
    key[0].ki.wVk = key[1].ki.wVk = VK_ESCAPE;
    key[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, key, sizeof(INPUT));
    for (int i = 0; i < 20 && !questions.AllAnswered(); ++i) {
      Pump();
      Sleep(20);
    }
  };
  questions.AnswerMessage(mrNo);
  escape();
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtConfirmation: Discard the changes to the profile \"Home\"? [Yes,No] "
            "default No");
  EXPECT_TRUE(IsWindowEnabled(H("ButtonSave")));
  questions.AnswerMessage(mrYes);
  escape();
  memoryQuestions.AnswerMessage(mrYes);
  memory.Button("ButtonCancel").Click();
  EXPECT_EQ(GetFocus(), H("ProfileList"));
  compare("after cancel");
  Tab("PageControl1", L"Network");
  Tab("PageControl1", L"Mail");
  EXPECT_FALSE(IsWindowVisible(H("SeiteMailClients")));
  EXPECT_TRUE(IsWindowVisible(H("SeiteNetwork")));
}

TEST_F(MainWindowTest, ApplyRunsTheStagesAndGetCurrentFillsTheWindowBack) {
  dir.Write("Lanvoy.INI", "[B\xFCro]\r\nLongLANDescription=" + kBridge +
                              "\r\nDHCP=0\r\nIP=10.20.30.40\r\nSubnet=255.255.255.0\r\n"
                              "Gateway=10.20.30.1\r\nDNS=10.20.30.2\r\n");
  OpenToApply(L"B\u00FCro");
  Click("ButtonApply");
  EXPECT_FALSE(closed);
  EXPECT_FALSE(IsWindowVisible(window->FormProgress()->Handle()));
  const std::string network = dir.Read("host/network.ini");
  const size_t section = network.find("[" + kBridge + "]");
  ASSERT_NE(section, std::string::npos) << network;
  EXPECT_NE(network.find("10.20.30.40", section), std::string::npos) << network;

  // Another profile shown, then the system's settings read back into the window.
  Choose("ProfileList", L"B\u00FCro");
  Click("ButtonModify");
  Tab("PageControl1", L"Network");
  Type("EditLongLanDescription", L"");
  Type("InputIP", L"0.0.0.0");
  Click("ButtonGetcurrent");
  HWND combo = H("EditLongLanDescription");
  std::vector<std::wstring> items;
  for (int i = 0; i < ComboBox_GetCount(combo); ++i) {
    wchar_t text[256] = {};
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    items.push_back(text);
  }
  EXPECT_NE(std::find(items.begin(), items.end(), kBridgeWide), items.end());
  EXPECT_NE(std::find(items.begin(), items.end(), L"LAN-Verbindung 2"), items.end());
  EXPECT_NE(std::find(items.begin(), items.end(), L"Drahtlose Netzwerkverbindung"), items.end());
  EXPECT_EQ(Text("EditLongLanDescription"), kBridgeWide);
  EXPECT_EQ(Text("InputIP"), L"10.20.30.40");
  EXPECT_EQ(Text("InputGateway"), L"10.20.30.1");
}

// netsh taking 10 s over the apply's script, as Windows' does over a DHCP switch: the main
// and the progress window answer a message sent from another thread (as Windows asks
// whether a window hangs) within 100 ms throughout, a click on Apply meanwhile starts
// nothing, and the apply ends as it would at once.
TEST_F(MainWindowTest, TheWindowAnswersWhileASlowNetshRuns) {
  dir.Write("host/netsh-delay-ms", "10000");
  dir.Write("Lanvoy.INI",
            "[B\xFCro]\r\nLongLANDescription=LAN-Verbindung 2\r\nDHCP=0\r\n"
            "IP=10.20.30.40\r\nSubnet=255.255.255.0\r\n");
  OpenToApply(L"B\u00FCro");
  ShowWindow(window->Handle(), SW_SHOW);
  SetForegroundWindow(window->Handle());
  Pump();

  using Clock = std::chrono::steady_clock;
  HWND main = window->Handle(), progress = window->FormProgress()->Handle();
  HWND apply = H("ButtonApply");
  RECT at;
  GetWindowRect(apply, &at);
  std::atomic<bool> applying{true}, progressShown{false}, clicked{false};
  std::atomic<long long> longest{0};
  std::atomic<int> unanswered{0}, probes{0};
  const Clock::time_point start = Clock::now();
  std::thread prober([&] {
    while (applying) {
      for (HWND h : {main, progress}) {
        const Clock::time_point sent = Clock::now();
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(h, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result)) ++unanswered;
        const long long ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sent).count();
        if (ms > longest) longest = ms;
        ++probes;
      }
      if (IsWindowVisible(progress)) progressShown = true;
      if (!clicked && Clock::now() - start > std::chrono::seconds(2)) {
        // The user clicks Apply again, with the mouse.
        clicked = true;
        SetCursorPos((at.left + at.right) / 2, (at.top + at.bottom) / 2);
        INPUT press[2] = {};
        press[0].type = press[1].type = INPUT_MOUSE;
        press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, press, sizeof(INPUT));
      }
      Sleep(10);
    }
  });
  Click("ButtonApply");
  const auto took = Clock::now() - start;
  applying = false;
  prober.join();
  Pump();

  EXPECT_GE(took, std::chrono::seconds(10));
  EXPECT_GT(probes.load(), 200);
  EXPECT_EQ(unanswered.load(), 0);
  EXPECT_LT(longest.load(), 100) << "ms without an answer";
  EXPECT_TRUE(progressShown.load());
  EXPECT_TRUE(clicked.load());
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_EQ(form->Session().Snapshots().All().size(), 1u) << "a second apply started";
  EXPECT_NE(dir.Read("host/network.ini").find("10.20.30.40"), std::string::npos);
}

// Keys typed through the system's input: each character, then a key of its own (0: none).
void TypeKeys(const std::wstring& text, WORD last) {
  std::vector<INPUT> keys;
  for (wchar_t c : text)
    for (DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
      INPUT in{};
      in.type = INPUT_KEYBOARD;
      in.ki.wScan = c;
      in.ki.dwFlags = KEYEVENTF_UNICODE | up;
      keys.push_back(in);
    }
  for (DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = last;
    in.ki.dwFlags = up;
    if (last) keys.push_back(in);
  }
  SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}

// Typed key by key, an address is tinted until it is one: the tint as the screen shows it.
TEST_F(MainWindowTest, AnAddressIsTintedWhileItIsTypedUntilItIsOne) {
  dir.Write("Lanvoy.INI", "[Home]\r\nDHCP=0\r\nLongLANDescription=LAN-Verbindung 2\r\n");
  Create();
  Click("ButtonMoreLess");
  Click("ButtonModify");
  HWND ip = H("InputIP");
  auto tinted = [ip] {
    RedrawWindow(ip, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Pump();
    RECT r;
    GetClientRect(ip, &r);
    HDC dc = GetDC(ip);
    const COLORREF c = GetPixel(dc, r.right - 3, r.bottom / 2);
    ReleaseDC(ip, dc);
    return GetRValue(c) > GetGValue(c) + 30;
  };
  EXPECT_FALSE(tinted());
  SetForegroundWindow(window->Handle());
  SetFocus(ip);
  const std::pair<const wchar_t*, bool> steps[] = {{L"10.0.0.", true}, {L"5", false}};
  for (const auto& [keys, tint] : steps) {
    TypeKeys(keys, 0);
    for (int i = 0; i < 20; ++i) {
      Pump();
      Sleep(20);
    }
    EXPECT_EQ(tinted(), tint) << A(test::WindowText(ip));
  }
}

// The name box: what is typed, with Enter, is the name; Esc gives none.
TEST_F(MainWindowTest, TheNameBoxGivesTheTypedNameOrNoneForEsc) {
  Create();
  Win32Questions boxes;
  boxes.SetOwner(window->Handle());
  SetForegroundWindow(window->Handle());
  const struct {
    WORD key;
    std::optional<std::string> name;
  } cases[] = {{VK_RETURN, "B\xFCro 2"}, {VK_ESCAPE, std::nullopt}};
  for (const auto& c : cases) {
    static WORD key;
    key = c.key;
    SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR timer, DWORD) {
      KillTimer(nullptr, timer);
      TypeKeys(L"B\u00FCro 2", key);
    });
    // A box that the keys did not reach is closed, so that the test fails and goes on.
    const UINT_PTR late = SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR timer, DWORD) {
      KillTimer(nullptr, timer);
      if (HWND box = GetActiveWindow()) PostMessageW(box, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(boxes.InputBox("Copy Profile", "Enter new name", "Copy of Home"), c.name);
    KillTimer(nullptr, late);
  }
}

// The undo button beside Apply, then the page "History" of the LAN state view: each asks
// naming the apply, and the connections come back as they were.
TEST_F(MainWindowTest, UndoAndTheHistoryPageGoBack) {
  dir.Write("Lanvoy.GUI",
            "[Programm]\r\nMsgAdminNeeded=1\r\nMsgRestartBrowser=1\r\nTerminate=0\r\n"
            "NoActionAfterApply=1\r\nNoValidationMessage=0\r\n");
  dir.Write("Lanvoy.INI", "[B\xFCro]\r\nLongLANDescription=" + kBridge +
                              "\r\nDHCP=0\r\nIP=10.1.1.5\r\nSubnet=255.255.255.0\r\n"
                              "DNS=10.1.1.53\r\n[Zuhause]\r\nLongLANDescription=LAN-Verbindung "
                              "2\r\nDHCP=0\r\nIP=10.2.2.5\r\nSubnet=255.255.255.0\r\n"
                              "DNS=10.2.2.53\r\n");
  Create();
  EXPECT_FALSE(IsWindowEnabled(H("ButtonUndo")));
  // The settings of the connections: netsh writes the file out in full at its first change.
  auto settings = [&] {
    std::string kept;
    for (const std::string& line : SplitLines(dir.Read("host/network.ini")))
      if (line.starts_with("[") || line.starts_with("Mode=") || line.starts_with("Address") ||
          line.starts_with("Mask") || line.starts_with("Dns"))
        kept += line + "\n";
    return kept;
  };
  std::vector<std::string> network{settings()};
  for (const wchar_t* name : {L"B\u00FCro", L"Zuhause"}) {
    Choose("ProfileList", name);
    Click("ButtonApply");
    network.push_back(settings());
  }
  ASSERT_NE(network[2], network[1]);

  const std::string zuhause =
      "the apply of Zuhause at " + form->Session().Snapshots().Last()->taken.substr(11, 5);
  questions.AnswerMessage(mrYes);
  questions.AnswerMessage(mrOk);
  Click("ButtonUndo");
  EXPECT_EQ(questions.Asked().at(0), "MessageDlg mtConfirmation: Undo " + zuhause + "? [Yes,No]");
  EXPECT_EQ(questions.Asked().at(1),
            "MessageDlg mtInformation: The settings before " + zuhause + " are back. [OK]");
  EXPECT_EQ(settings(), network[1]);

  // The oldest apply chosen on the page "History" and restored before.
  static std::function<void()> inView;
  std::vector<std::wstring> listed;
  inView = [&] {
    while (form->DosCommand().Running()) {
      Pump();
      Sleep(20);
    }
    in = window->FormNetDetails();
    Tab("PageControl1", L"History");
    HWND kept = H("ListSnapshots");
    for (int i = 0; i < ListBox_GetCount(kept); ++i) {
      wchar_t text[256] = {};
      SendMessageW(kept, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
      listed.push_back(text);
    }
    EXPECT_FALSE(Reachable(H("ButtonRestoreBefore")));
    if (listed.size() == 2) Choose("ListSnapshots", listed[1]);
    questions.AnswerMessage(mrYes);
    questions.AnswerMessage(mrOk);
    Click("ButtonRestoreBefore");
    Click("Button1");
    in = nullptr;
  };
  SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    std::exchange(inView, nullptr)();
  });
  Click("BitBtn1");
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_NE(listed[0].find(L"  undo of Zuhause"), std::wstring::npos);
  EXPECT_NE(listed[1].find(L"  B\u00FCro"), std::wstring::npos);
  ASSERT_EQ(questions.Asked().size(), 4u);
  EXPECT_EQ(questions.Asked()[2].rfind(
                "MessageDlg mtConfirmation: Restore the state before the apply of B\xFCro at ", 0),
            0u)
      << questions.Asked()[2];
  EXPECT_EQ(settings(), network[0]);
}

// The darkest grey inside a tab's label as the screen shows it: 0 for black text.
int DarkestInTab(HWND tabs, int index) {
  RedrawWindow(tabs, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  Pump();
  RECT r;
  TabCtrl_GetItemRect(tabs, index, &r);
  InflateRect(&r, -4, -3);
  HDC dc = GetDC(tabs);
  int darkest = 255;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      darkest = std::min(darkest, (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3);
    }
  ReleaseDC(tabs, dc);
  return darkest;
}

// In view mode the Mail tab is greyed with what it holds, in edit mode it is as the others.
TEST_F(MainWindowTest, TheMailTabLooksDisabledOutsideEditMode) {
  dir.Write("Lanvoy.INI", "[Home]\r\nDHCP=1\r\n");
  Create();
  Click("ButtonMoreLess");
  Tab("PageControl1", L"Mail");  // not chosen: the Network page stays
  const struct {
    const char* click;
    bool greyed;
  } stages[] = {{nullptr, true}, {"ButtonModify", false}, {"ButtonCancel", true}};
  for (const auto& stage : stages) {
    if (stage.click) Click(stage.click);
    const char* name = stage.click ? stage.click : "start";
    EXPECT_LT(DarkestInTab(H("PageControl1"), 0), 64) << name;  // Network
    EXPECT_EQ(DarkestInTab(H("PageControl1"), 4) >= 100, stage.greyed) << name;
    for (const char* inside : {"Label13", "GroupOExpr", "Label14"})
      EXPECT_EQ(IsWindowEnabled(H(inside)) == FALSE, stage.greyed) << name << ": " << inside;
  }
  EXPECT_TRUE(IsWindowEnabled(H("InputPopServer")) == FALSE);  // its own state after Cancel
}

// A mouse event at a point of the screen, for SendInput.
INPUT MouseAt(POINT at, DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
  return in;
}

// Drags the bottom right corner of a window by (dx, dy) with the mouse, through the system.
void DragCorner(HWND h, int dx, int dy) {
  RECT r;
  GetWindowRect(h, &r);
  const POINT from{r.right - 2, r.bottom - 2};
  static POINT to;
  to = {from.x + dx, from.y + dy};
  INPUT press[] = {MouseAt(from, MOUSEEVENTF_MOVE), MouseAt(from, MOUSEEVENTF_LEFTDOWN)};
  SendInput(2, press, sizeof(INPUT));
  // The rest once the window's sizing loop has the mouse.
  static int waited;
  waited = 0;
  SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR timer, DWORD) {
    if (!GetCapture() && ++waited < 40) return;
    KillTimer(nullptr, timer);
    INPUT release[] = {MouseAt(to, MOUSEEVENTF_MOVE), MouseAt(to, MOUSEEVENTF_LEFTUP)};
    SendInput(2, release, sizeof(INPUT));
  });
  while (GetAsyncKeyState(VK_LBUTTON) & 0x8000) {
    Pump();
    Sleep(20);
  }
  Pump();
}

// "Show LAN state": ipconfig's report line for line, blank lines too, room for its longest
// lines (91 columns on XP), and the text following the window's size.
TEST_F(MainWindowTest, TheLanStateViewShowsTheWholeReport) {
  Create();
  static std::function<void()> inView;
  std::wstring shown;
  RECT format{}, before{}, after{}, small{};
  SIZE longest{};
  inView = [&] {
    while (form->DosCommand().Running()) {
      Pump();
      Sleep(20);
    }
    Pump();
    TFormNetDetails& view = *window->FormNetDetails();
    HWND memo = view.Named("Memo");
    shown = test::WindowText(memo);
    SendMessageW(memo, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    HDC dc = GetDC(memo);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(memo, WM_GETFONT, 0, 0)));
    GetTextExtentPoint32W(dc, std::wstring(91, L'x').c_str(), 91, &longest);
    SelectObject(dc, old);
    ReleaseDC(memo, dc);
    GetClientRect(memo, &before);
    DragCorner(view.Handle(), -150, -100);
    GetClientRect(memo, &after);
    DragCorner(view.Handle(), -2000, -2000);
    GetClientRect(view.Handle(), &small);
    SendMessageW(view.Named("Button1"), BM_CLICK, 0, 0);
  };
  SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    std::exchange(inView, nullptr)();
  });
  Click("BitBtn1");

  std::wstring expected = WFromOem(kLanStateHead);
  int blank = 0;
  for (const std::string& line : form->DosCommand().CapturedLines()) {
    expected += WFromOem(line) + L"\r\n";
    blank += line.empty();
  }
  EXPECT_GT(blank, 0);
  EXPECT_EQ(shown, expected);
  EXPECT_GE(format.right - format.left, longest.cx) << "a long line is cut";
  EXPECT_EQ(after.right, before.right - 150);
  EXPECT_EQ(after.bottom, before.bottom - 100);
  const WindowLayout& layout = NetDetailsFormLayout();
  EXPECT_GE(small.right, window->Scale(layout.minWidth));
  EXPECT_GE(small.bottom, window->Scale(layout.minHeight));
}

// The menu that a right click of the mouse opens, through the system's input; none: nullptr.
HMENU MenuOfRightClickAt(POINT at) {
  static HMENU opened;
  opened = nullptr;
  SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND menu = nullptr;  // the one shown: a closed one may still exist
    while ((menu = FindWindowExW(nullptr, menu, L"#32768", nullptr)) && !IsWindowVisible(menu)) {
    }
    if (menu) opened = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
    EndMenu();
  });
  INPUT mouse[] = {MouseAt(at, MOUSEEVENTF_MOVE), MouseAt(at, MOUSEEVENTF_RIGHTDOWN),
                   MouseAt(at, MOUSEEVENTF_RIGHTUP)};
  SendInput(3, mouse, sizeof(INPUT));
  for (int i = 0; i < 20; ++i) {
    Pump();
    Sleep(50);
  }
  return opened;
}

// The list opens its own menu; elsewhere the window opens the tray's.
TEST_F(MainWindowTest, RightClickOpensTheMenuOfWhatIsClicked) {
  dir.Write("Lanvoy.INI", "[Home]\r\nDHCP=1\r\n[Office]\r\nDHCP=1\r\n");
  Create();
  SetForegroundWindow(window->Handle());
  RECT list, group;
  GetWindowRect(H("ProfileList"), &list);
  GetWindowRect(H("GroupBox2"), &group);
  const struct {
    POINT at;
    const char* menu;
  } clicks[] = {{{(list.left + list.right) / 2, (list.top + list.bottom) / 2}, "PopUPProfTree"},
                {{group.left + 2, (list.top + list.bottom) / 2}, "PopUPTray"}};
  for (const auto& click : clicks)
    EXPECT_EQ(MenuOfRightClickAt(click.at), window->MenuNamed(click.menu)) << click.menu;
}

TEST_F(MainWindowTest, TrayIconIsAddedReaddedAndRemoved) {
  dir.Write("Lanvoy.INI", "[Home]\r\nDHCP=1\r\n");
  // The desktop's taskbar comes up on its own after the first program of the prefix.
  for (int i = 0; i < 200 && !FindWindowW(L"Shell_TrayWnd", nullptr); ++i) Sleep(50);
  ASSERT_TRUE(FindWindowW(L"Shell_TrayWnd", nullptr)) << "the desktop shows no taskbar";
  Create();
  ASSERT_TRUE(IsWindowVisible(window->Handle()));
  ASSERT_TRUE(Checked("CheckTray"));
  Click("ButtonMinimize");
  ASSERT_EQ(area.Icons().size(), 1u) << "no icon in the notification area";
  EXPECT_FALSE(IsWindowVisible(window->Handle()));
  const auto [owner, id] = area.Icons().front();

  // Explorer starts again and has lost the icon: the broadcast brings it back.
  NOTIFYICONDATAA record{};
  record.cbSize = NOTIFYICONDATAA_V2_SIZE;
  record.hWnd = reinterpret_cast<HWND>(owner);
  record.uID = id;
  ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &record));
  SendMessageW(reinterpret_cast<HWND>(owner), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  Pump();
  EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &record)) << "the icon was not added again";

  // A right click on the icon, as Explorer reports it (the icon's callback message), opens
  // the native menu with the window in the foreground, so that keys reach it: Up, Up and
  // Enter, typed, choose "Open" above "Close" and the window comes back.
  static bool menuOpen = false;
  static HWND foreground = nullptr;
  SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    menuOpen = FindWindowW(L"#32768", nullptr) != nullptr;
    foreground = GetForegroundWindow();
    std::vector<INPUT> keys;
    for (WORD key : {VK_UP, VK_UP, VK_RETURN})
      for (DWORD flags : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        in.ki.dwFlags = flags;
        keys.push_back(in);
      }
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
    // A menu that the keys did not reach is closed, so that the test fails and goes on.
    SetTimer(nullptr, 0, 2000, [](HWND, UINT, UINT_PTR late, DWORD) {
      KillTimer(nullptr, late);
      EndMenu();
    });
  });
  HWND icon = reinterpret_cast<HWND>(owner);
  SendMessageW(icon, tray::kCallbackMessage, id, WM_RBUTTONDOWN);
  SendMessageW(icon, tray::kCallbackMessage, id, WM_RBUTTONUP);
  Pump();
  EXPECT_TRUE(menuOpen) << "no menu opened";
  EXPECT_EQ(foreground, window->Handle());
  EXPECT_TRUE(IsWindowVisible(window->Handle())) << "\"Open\" did not show the window";
  form.reset();
  EXPECT_TRUE(area.Icons().empty());
  EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &record));
}

}  // namespace
}  // namespace lanvoy
