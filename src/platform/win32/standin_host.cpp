#include "platform/standin_host.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>

#include "platform/win32/win32_parts.h"
#include "platform/win32/windows_api.h"

namespace lanvoy::platform {

std::filesystem::path StandinHostRoot() {
  if (const char* env = std::getenv(kStandinHostVariable); env && *env)
    return std::filesystem::absolute(env);
  const std::string program = win32::MakeSystem()->ExecutablePath();
  return std::filesystem::path(program).parent_path() / "host";
}

// RtlGetVersion, unlike GetVersionEx, gives the real version to a program whose manifest names
// no Windows 10; looked up, so that no ntdll import library is linked.
uint32_t StandinWindowsMajorVersion(const std::filesystem::path&) {
  using RtlGetVersionFunction = LONG(WINAPI*)(PRTL_OSVERSIONINFOW);
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  auto rtlGetVersion = ntdll ? reinterpret_cast<RtlGetVersionFunction>(
                                   reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                             : nullptr;
  RTL_OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!rtlGetVersion || rtlGetVersion(&info) != 0) return 5;
  return info.dwMajorVersion;
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
