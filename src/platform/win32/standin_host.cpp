#include "platform/standin_host.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>

#include "platform/win32/win32_parts.h"

namespace lanvoy::platform {

std::filesystem::path StandinHostRoot() {
  if (const char* env = std::getenv(kStandinHostVariable); env && *env)
    return std::filesystem::absolute(env);
  const std::string program = win32::MakeSystem()->ExecutablePath();
  return std::filesystem::path(program).parent_path() / "host";
}

// The system's own version, not the one a manifest would make of it.
uint32_t StandinWindowsMajorVersion(const std::filesystem::path&) {
  return win32::MakeSystem()->WindowsVersion().major;
}

// Windows opens Windows paths as they are.
std::string StandinLocalPath(const std::filesystem::path&, const std::string& path) {
  return path;
}

void UseBinaryStandardOutput() {
  std::fflush(stdout);
  _setmode(_fileno(stdout), _O_BINARY);
}

}  // namespace lanvoy::platform
