// ipconfig: the stand-in for Windows' IP configuration report on the simulated host.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "base/strings.h"
#include "platform/platform.h"
#include "platform/sim/host_root.h"
#include "standin/network_state.h"

namespace {

constexpr const char* kUsage =
    "\r\n"
    "USAGE:\r\n"
    "    ipconfig [/? | /all]\r\n"
    "\r\n"
    "where\r\n"
    "    /?           Display this help message\r\n"
    "    /all         Display full configuration information.\r\n";

// The computer name as the registry keeps it; "" when the key or value is missing.
std::string ComputerName(lanvoy::platform::Platform& platform) {
  auto key = platform.registry().Open(
      lanvoy::platform::RootKey::LocalMachine,
      "System\\CurrentControlSet\\Control\\ComputerName\\ComputerName", false);
  if (!key) return {};
  auto value = key->Query("ComputerName");
  if (!value || value->type != lanvoy::platform::ValueType::String) return {};
  return value->text;
}

void Write(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() != 1 ||
      !(lanvoy::SameText(args[0], "/all") || lanvoy::SameText(args[0], "-all"))) {
    Write(kUsage);
    const bool help = args.size() == 1 && (args[0] == "/?" || args[0] == "-?");
    return help ? 0 : 1;
  }
  try {
    auto platform = lanvoy::platform::CreatePlatform();
    auto state = lanvoy::standin::NetworkState::LoadOrCreate(
        lanvoy::standin::NetworkStatePath(lanvoy::sim::ResolveHostRoot()));
    // Names are kept in the ANSI code page; a console program writes the OEM one.
    auto& system = platform->system();
    auto console = [&](const std::string& ansi) {
      return system.FromUtf8(system.ToUtf8(ansi, system.AnsiCodePage()), system.OemCodePage());
    };
    for (auto& connection : state.connections) {
      connection.name = console(connection.name);
      connection.description = console(connection.description);
    }
    Write(lanvoy::standin::IpconfigAllReport(state, console(ComputerName(*platform))));
    return 0;
  } catch (const std::exception& e) {
    Write(std::string(e.what()) + "\r\n");
    return 1;
  }
}
