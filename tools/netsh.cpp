// netsh: the stand-in for Windows' network shell on the simulated host.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/sim/host_root.h"
#include "platform/sim/netsh_tool.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string out;
  const int code = lanvoy::sim::RunNetsh(args, lanvoy::sim::ResolveHostRoot(), out);
  std::fwrite(out.data(), 1, out.size(), stdout);
  return code;
}
