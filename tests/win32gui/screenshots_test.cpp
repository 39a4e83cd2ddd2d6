// Pictures of the Win32 windows on the virtual display, for docs/screenshots/windows
// (scripts/screenshots-windows): only when LANVOY_SCREENSHOTS names a folder.
#include "win32gui/win32_window.h"
// windows.h first.
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/win32/forms.h"
#include "apply/win32/form_progress.h"
#include "components/msg_dlg.h"
#include "mainwindow/win32/win32_questions.h"
#include "test_support/profiles.h"

namespace lanvoy {
namespace {

using test::Pump;

std::function<void()>& WhileModal() {
  static std::function<void()> action;
  return action;
}

void CALLBACK RunWhileModal(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (auto action = std::exchange(WhileModal(), nullptr)) action();
}

// What a modal window or menu opened by open looks like after a moment; then it closes.
void WhenShown(std::function<void()> action) {
  WhileModal() = std::move(action);
  SetTimer(nullptr, 0, 700, &RunWhileModal);
}

// The window as the screen shows it, frame included, as a 24-bit BMP file.
void Save(HWND h, const std::string& file) {
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  Sleep(150);
  RECT r;
  GetWindowRect(h, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  const int stride = (width * 3 + 3) & ~3;
  std::string pixels(static_cast<size_t>(stride) * static_cast<size_t>(height), '\0');
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
            reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof header + sizeof info;
  header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
}

class Screenshots : public test::Win32WindowTest {};

TEST_F(Screenshots, WindowsOfTheProgram) {
  const std::optional<std::string> folder = test::Environment("LANVOY_SCREENSHOTS");
  if (!folder) GTEST_SKIP() << "set LANVOY_SCREENSHOTS to a folder";
  const std::string out = *folder + "\\";
  std::filesystem::create_directories(*folder);
  dir.Write("Lanvoy.INI", test::kScreenshotStore);
  ReportWindows10();  // the page "IPv6 and more" takes input
  Win32Questions boxes;
  {
    TFormStartBild splash;
    splash.ShowNow();
    Save(splash.Handle(), out + "splash.bmp");
  }
  Create();
  boxes.SetOwner(window->Handle());
  Save(window->Handle(), out + "compact.bmp");

  Choose("ProfileList", L"Office");
  Click("ButtonModify");
  const wchar_t* tabs[] = {L"Network", L"Misc",   L"Default Printer", L"Internet", L"Mail",
                           L"Hosts",   L"Script", L"Program Options", L"Info"};
  const char* names[] = {"network", "misc",   "printer", "internet", "mail",
                         "hosts",   "script", "options", "info"};
  for (int i = 0; i < 9; ++i) {
    Tab("PageControl1", tabs[i]);
    Save(window->Handle(), out + "full_" + names[i] + ".bmp");
  }
  Tab("PageControl1", L"Network");
  Tab("PageControl2", L"Connection 2");
  Save(window->Handle(), out + "full_network_connection2.bmp");
  Tab("PageControl2", L"IPv6 and more 1");
  Save(window->Handle(), out + "full_network_more.bmp");
  Tab("PageControl2", L"Connection 1");
  Click("ButtonCancel");

  auto shoot = [&](void (*setup)(TMessageDlg&), const std::string& file) {
    TMessageDlg dlg(boxes);
    setup(dlg);
    const MsgDlgBoxPlan plan = dlg.BoxPlan();
    std::unique_ptr<MsgDlgBox> box = boxes.CreateBox(plan);
    box->SetCountdownText(std::to_string(dlg.TimeOut));
    box->Show([](int) {});
    Save(dynamic_cast<Win32Window&>(*box).Handle(), out + file);
  };
  shoot(SetupDialogAdmin, "dialog_admin.bmp");
  shoot(SetupDialogBrowserRestart, "dialog_browser_restart.bmp");

  WhenShown([&] {
    HWND box = GetActiveWindow();
    Save(box, out + "question.bmp");
    PostMessageW(box, WM_CLOSE, 0, 0);
  });
  boxes.Confirm("The gateway 10.99.0.1 lies outside the subnet 10.20.30.0/24.", mtWarning,
                "Apply anyway", "Cancel");
  WhenShown([&] {
    HWND box = GetActiveWindow();
    Save(box, out + "input_box.bmp");
    PostMessageW(box, WM_CLOSE, 0, 0);
  });
  boxes.InputBox("New profile", "Name of the new profile:", "Office 2");

  window->Progress().ShowStage(2, "Setting proxy configuration ...", true);
  Save(window->FormProgress()->Handle(), out + "progress.bmp");
  window->Progress().Close();

  WhenShown([&] {
    HWND help = GetActiveWindow();
    Save(help, out + "help.bmp");
    PostMessageW(help, WM_CLOSE, 0, 0);
  });
  Tab("PageControl1", L"Info");
  Click("Button1");  // Help

  WhenShown([&] {
    HWND state = GetActiveWindow();
    Sleep(1500);  // ipconfig's lines arrive
    Pump();
    Save(state, out + "lan_state.bmp");
    PostMessageW(state, WM_CLOSE, 0, 0);
  });
  Click("BitBtn1");

  // The window's own menu, which is the tray's.
  WhenShown([&] {
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (menu) Save(menu, out + "tray_menu.bmp");
    EndMenu();
  });
  RECT r;
  GetWindowRect(H("GroupBox2"), &r);
  SendMessageW(window->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window->Handle()),
               MAKELPARAM(r.left + 250, r.top + 150));
  Pump();
}

}  // namespace
}  // namespace lanvoy
