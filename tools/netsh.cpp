// netsh: the stand-in for Windows' network shell, built for both backends (Wine's own netsh
// knows none of the commands the program runs).
#include <cstdio>
#include <string>
#include <vector>

#include "platform/standin_host.h"
#include "standin/netsh_tool.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string out;
  const int code = lanvoy::standin::RunNetsh(args, lanvoy::platform::StandinHostRoot(), out);
  // The dump's CR LF must reach a redirection unchanged.
  lanvoy::platform::UseBinaryStandardOutput();
  std::fwrite(out.data(), 1, out.size(), stdout);
  return code;
}
