#include "platform/sim/host_root.h"

#include <cstdlib>
#include <system_error>

namespace lanvoy::sim {

std::filesystem::path RunningProgramPath() {
  std::error_code ec;
  auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : path;
}

std::filesystem::path ResolveHostRoot() {
  if (const char* env = std::getenv(kHostEnvironmentVariable); env && *env)
    return std::filesystem::absolute(env);
  return RunningProgramPath().parent_path() / "host";
}

}  // namespace lanvoy::sim
