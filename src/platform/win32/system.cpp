#include "platform/win32/windows_api.h"

#include <string>
#include <vector>

#include "platform/win32/win32_parts.h"

namespace lanvoy::win32 {

namespace {

class Win32System : public platform::System {
 public:
  std::string WindowsDirectory() override {
    std::vector<char> buffer(MAX_PATH + 1);
    UINT length = GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length >= buffer.size()) {  // too small: length is the size needed
      buffer.resize(length + 1);
      length = GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    }
    if (length == 0 || length >= buffer.size()) return std::string();
    return std::string(buffer.data(), length);
  }

  bool FindWindowByClass(const std::string& className) override {
    HWND window = FindWindowA(className.c_str(), nullptr);
    return window != nullptr && window != reinterpret_cast<HWND>(INVALID_HANDLE_VALUE);
  }

  bool AdjustPrivilege(const std::string& name, bool enable) override {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
      return false;
    bool ok = false;
    TOKEN_PRIVILEGES privileges;
    ZeroMemory(&privileges, sizeof privileges);
    if (LookupPrivilegeValueA(nullptr, name.c_str(), &privileges.Privileges[0].Luid)) {
      privileges.PrivilegeCount = 1;
      privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
      TOKEN_PRIVILEGES previous;
      DWORD previousLength = 0;
      // A privilege the token lacks still reports success (ERROR_NOT_ALL_ASSIGNED).
      ok = AdjustTokenPrivileges(token, FALSE, &privileges, sizeof previous, &previous,
                                 &previousLength) != 0;
    }
    CloseHandle(token);
    return ok;
  }

  bool ExitWindows(uint32_t flags, uint32_t reason) override {
    return ExitWindowsEx(flags, reason) != 0;
  }

  std::string ExecutablePath() override {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
      DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
      if (length == 0) return std::string();
      if (length < buffer.size()) return std::string(buffer.data(), length);
      buffer.resize(buffer.size() * 2);  // cut off: try again with more room
    }
  }

  std::optional<std::array<uint16_t, 4>> FileVersion(const std::string& path) override {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return std::nullopt;
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data())) return std::nullopt;
    void* block = nullptr;
    UINT length = 0;
    char root[] = "\\";
    if (!VerQueryValueA(data.data(), root, &block, &length) || block == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO))
      return std::nullopt;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(block);
    if (fixed->dwSignature != 0xFEEF04BD) return std::nullopt;
    return std::array<uint16_t, 4>{static_cast<uint16_t>(HIWORD(fixed->dwFileVersionMS)),
                                   static_cast<uint16_t>(LOWORD(fixed->dwFileVersionMS)),
                                   static_cast<uint16_t>(HIWORD(fixed->dwFileVersionLS)),
                                   static_cast<uint16_t>(LOWORD(fixed->dwFileVersionLS))};
  }

  // Paths are already Windows paths here.
  std::string NativePath(const std::string& path) override { return path; }
};

}  // namespace

std::unique_ptr<platform::System> MakeSystem() {
  return std::make_unique<Win32System>();
}

}  // namespace lanvoy::win32
