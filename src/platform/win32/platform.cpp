#include "platform/win32/windows_api.h"

#include <string>

#include "platform/platform.h"
#include "platform/win32/win32_parts.h"

namespace lanvoy::win32 {

std::string SystemErrorText(unsigned long code) {
  char* text = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message;
  if (length != 0 && text != nullptr) message.assign(text, length);
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == '\r' || message.back() == '\n' ||
                              message.back() == ' ' || message.back() == '.'))
    message.pop_back();
  if (message.empty()) message = "System error " + std::to_string(code);
  return message;
}

namespace {

class Win32Platform : public platform::Platform {
 public:
  Win32Platform()
      : registry_(MakeRegistry()),
        processes_(MakeProcesses()),
        shell_(MakeShell()),
        printers_(MakePrinters()),
        system_(MakeSystem()),
        network_(MakeNetwork()) {}

  platform::Registry& registry() override { return *registry_; }
  platform::Processes& processes() override { return *processes_; }
  platform::Shell& shell() override { return *shell_; }
  platform::Printers& printers() override { return *printers_; }
  platform::System& system() override { return *system_; }
  platform::Network& network() override { return *network_; }

 private:
  std::unique_ptr<platform::Registry> registry_;
  std::unique_ptr<platform::Processes> processes_;
  std::unique_ptr<platform::Shell> shell_;
  std::unique_ptr<platform::Printers> printers_;
  std::unique_ptr<platform::System> system_;
  std::unique_ptr<platform::Network> network_;
};

}  // namespace
}  // namespace lanvoy::win32

namespace lanvoy::platform {

std::unique_ptr<Platform> CreatePlatform() {
  return std::make_unique<win32::Win32Platform>();
}

std::vector<std::string> ProgramArguments(int argc, char** argv, System&) {
  // The C runtime splits GetCommandLineA: the arguments are in the ANSI code page already.
  return std::vector<std::string>(argv + 1, argv + argc);
}

uint32_t ConsoleCodePage(System& system) {
  const UINT console = GetConsoleOutputCP();
  return console ? console : system.OemCodePage();
}

}  // namespace lanvoy::platform
