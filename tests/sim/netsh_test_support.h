// Runs the stand-ins built beside the sim tests on a simulated host.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/sim/host_root.h"
#include "test_support/netsh_dump_reading.h"

namespace lanvoy::test {

struct ToolRun {
  int exitCode = -1;
  std::string output;  // stdout and stderr, bytes unchanged
};

// Runs a stand-in built beside this test program, on the simulated host at hostRoot, in the
// folder workDir (else in this program's). arguments are shell words, quoted by the caller
// where needed.
inline ToolRun RunTool(const std::string& tool, const std::string& arguments,
                       const std::filesystem::path& hostRoot,
                       const std::filesystem::path& workDir = {}) {
  const auto bin = sim::RunningProgramPath().parent_path();
  const auto capture = hostRoot.parent_path() / (hostRoot.filename().string() + ".out");
  const std::string command = (workDir.empty() ? "" : "cd '" + workDir.string() + "' && ") +
                              "LANVOY_HOST='" + hostRoot.string() + "' '" + (bin / tool).string() +
                              "' " + arguments + " > '" + capture.string() + "' 2>&1";
  ToolRun run;
  const int status = std::system(command.c_str());
  run.exitCode = (status >> 8) & 0xFF;  // the shell's wait status: exit code in the high byte
  std::ifstream in(capture, std::ios::binary);
  run.output.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  std::filesystem::remove(capture);
  return run;
}

}  // namespace lanvoy::test
