// Lanvoy: the program. Creates the platform and runs an unattended apply itself, without
// the window toolkit, whose libraries would cost such a start a fifth of its time; for
// the windows it loads them from the module beside it.
#include <iostream>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/qt/windows_module.h"
#include "base/error.h"
#include "platform/module.h"
#include "platform/platform.h"

namespace {

// The module's function, or nullptr after telling why on standard error.
void* WindowsFunction(const char* name) {
  try {
    return lanvoy::platform::LoadProgramModuleFunction(kWindowsModuleFile, name);
  } catch (const lanvoy::Error& e) {
    std::cerr << "Cannot show the windows: " << e.what() << std::endl;
    return nullptr;
  }
}

}  // namespace

int main(int argc, char** argv) {
  // The arguments are the program's own, as the system split them; converted once the
  // platform knows the machine's code page.
  std::vector<std::string> args(argv + 1, argv + argc);
  // As every other error: in the error box, and for a script on standard error.
  std::unique_ptr<lanvoy::platform::Platform> platform = lanvoy::CreatePlatformOrTell(
      args, std::cerr,
      [&](const std::string& message) {
        if (void* box = WindowsFunction("LanvoyErrorBox"))
          reinterpret_cast<ErrorBoxFunction>(box)(argv[0], message.c_str());
      },
      lanvoy::platform::CreatePlatform);
  if (!platform) return lanvoy::kExitApplyFailed;
  args = lanvoy::platform::ProgramArguments(argc, argv, platform->system());
  if (lanvoy::StartsWithoutWindows(args))
    return lanvoy::RunWithoutWindows(*platform, args, std::cout, std::cerr);
  // The windows set up a platform of their own, in the module's copy of the core.
  platform.reset();
  void* run = WindowsFunction("LanvoyRunWindows");
  return run ? reinterpret_cast<RunWindowsFunction>(run)(argc, argv) : lanvoy::kExitApplyFailed;
}
