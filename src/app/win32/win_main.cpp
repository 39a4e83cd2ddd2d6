// Lanvoy.exe: the program on Windows. A GUI-subsystem program, so that no console window
// opens; started from a command prompt, its messages for a script go to that prompt's
// console. Creates the platform, runs the start-up and the message loop.
#include "mainwindow/win32/win32_api.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/console_stream.h"
#include "app/program.h"
#include "app/startup.h"
#include "mainwindow/win32/win32_controls.h"
#include "mainwindow/win32/win32_main_window.h"
#include "mainwindow/win32/win32_questions.h"
#include "mainwindow/win32/win32_text.h"
#include "platform/platform.h"

namespace {

// Standard error handed over by the caller (a pipe, a file) stays; without one, the console
// of the command prompt that started the program gets the messages.
void ConnectConsole() {
  HANDLE given = GetStdHandle(STD_ERROR_HANDLE);
  if (given && given != INVALID_HANDLE_VALUE) return;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  if (!std::freopen("CONOUT$", "w", stderr)) return;
  std::freopen("CONOUT$", "w", stdout);
  std::cerr.clear();
  std::cout.clear();
}

int RunMessageLoop() {
  MSG msg;
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
    if (lanvoy::Win32Window::PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return got < 0 ? lanvoy::kExitApplyFailed : static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ConnectConsole();
  // The program's text ends its lines with CR LF itself; the C runtime would add a second CR.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  // The arguments as the C runtime split the command line, in the ANSI code page.
  std::vector<std::string> args(__argv + 1, __argv + __argc);
  // As every other error: in the error box, and for a script on standard error.
  std::unique_ptr<lanvoy::platform::Platform> platform = lanvoy::CreatePlatformOrTell(
      args, std::cerr,
      [](const std::string& message) {
        lanvoy::Win32Questions().MessageDlg(message, lanvoy::mtError, {lanvoy::mbOK});
      },
      lanvoy::platform::CreatePlatform);
  if (!platform) return lanvoy::kExitApplyFailed;
  args = lanvoy::platform::ProgramArguments(__argc, __argv, platform->system());
  if (lanvoy::StartsWithoutWindows(args))
    return lanvoy::RunWithoutWindows(*platform, args, std::cout, std::cerr);

  lanvoy::InstallWin32CodePages(platform->system());
  lanvoy::InitWin32Windows();
  lanvoy::Win32Questions questions;
  lanvoy::Win32WindowFactory windows;
  lanvoy::ConsoleStream err(std::cerr, platform->system(),
                            lanvoy::platform::ConsoleCodePage(platform->system()));
  lanvoy::TLanvoyProgram program(*platform, questions, windows, platform->system().ExecutablePath(),
                                 args, err);
  program.OnMainFormConstructed = [&](lanvoy::TMainForm&) {
    questions.SetOwner(dynamic_cast<lanvoy::Win32MainWindow&>(program.MainWindow()).Handle());
  };
  if (!program.Start()) return program.ExitCode();
  return RunMessageLoop();
}
