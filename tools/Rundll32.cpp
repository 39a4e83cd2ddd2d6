// Rundll32: the stand-in knows the one call the program makes, the network connections
// panel. It lists the connections as the panel would show them and notes the opening in
// the host's event log.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "base/strings.h"
#include "platform/sim/host.h"
#include "platform/sim/host_root.h"
#include "standin/network_state.h"

namespace {

void Write(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::string call;
  for (int i = 1; i < argc; ++i) {
    if (!call.empty()) call += ' ';
    call += argv[i];
  }
  if (!lanvoy::SameText(lanvoy::Trim(call), "Shell32.dll,Control_RunDLL ncpa.cpl")) {
    Write("Rundll32: cannot run \"" + call +
          "\"; the simulated host knows only \"Shell32.dll,Control_RunDLL ncpa.cpl\".\r\n");
    return 1;
  }
  try {
    const auto root = lanvoy::sim::ResolveHostRoot();
    const auto state =
        lanvoy::standin::NetworkState::LoadOrCreate(lanvoy::standin::NetworkStatePath(root));
    std::string names;
    for (const auto& c : state.connections) names += c.name + "\r\n";
    Write(names);

    if (!lanvoy::sim::AppendEvent(root, "open network connections panel")) {
      Write("Rundll32: cannot write " + (root / lanvoy::sim::kEventLogFile).string() + ".\r\n");
      return 1;
    }
    return 0;
  } catch (const std::exception& e) {
    Write(std::string(e.what()) + "\r\n");
    return 1;
  }
}
