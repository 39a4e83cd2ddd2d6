#include "platform/win32/windows_api.h"

#include <charconv>
#include <cstring>
#include <string>
#include <vector>

#include "base/error.h"
#include "platform/code_pages.h"
#include "platform/win32/win32_parts.h"

namespace lanvoy::win32 {

namespace {

std::wstring ToWide(std::string_view text, UINT codePage) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return std::wstring(text.size(), L'?');
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

// Without best fit, so that a character the code page lacks becomes "?" and not a look-alike.
std::string FromWide(const std::wstring& wide, UINT codePage) {
  if (wide.empty()) return {};
  const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string(wide.size(), '?');
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, flags, wide.data(), size, text.data(), length, nullptr, nullptr);
  return text;
}

// RtlGetVersion, unlike GetVersionEx, gives the real version to a program whose manifest names
// no newer Windows; looked up, so that no ntdll import library is linked.
std::optional<platform::System::Version> RtlVersion() {
  using RtlGetVersionFunction = LONG(WINAPI*)(PRTL_OSVERSIONINFOW);
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  auto rtlGetVersion = ntdll ? reinterpret_cast<RtlGetVersionFunction>(
                                   reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                             : nullptr;
  RTL_OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!rtlGetVersion || rtlGetVersion(&info) != 0) return std::nullopt;
  return platform::System::Version{info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

class Win32MachineLock : public platform::MachineLock {
 public:
  explicit Win32MachineLock(HANDLE mutex) : mutex_(mutex) {}
  ~Win32MachineLock() override {
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }

 private:
  HANDLE mutex_;
};

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

  uint32_t AnsiCodePage() override { return GetACP(); }
  bool Elevated() override {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const bool known =
        GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) != 0;
    CloseHandle(token);
    return known && elevation.TokenIsElevated != 0;
  }
  uint32_t OemCodePage() override { return GetOEMCP(); }

  std::unique_ptr<platform::ScratchFolder> MakeScratchFolder(std::string& message) override {
    return win32::MakeScratchFolder(message);
  }

  std::unique_ptr<platform::MachineLock> LockApplies(std::chrono::milliseconds wait) override {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, "Global\\LanvoyApply");
    if (!mutex) throw Error("Cannot create the apply lock: " + SystemErrorText(GetLastError()));
    const DWORD waited = WaitForSingleObject(mutex, static_cast<DWORD>(wait.count()));
    // An owner that ended without letting go left it abandoned: it is ours now.
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
      CloseHandle(mutex);
      return nullptr;
    }
    return std::make_unique<Win32MachineLock>(mutex);
  }

  std::string SystemDirectory() override {
    char buffer[MAX_PATH + 1] = {};
    const UINT length = GetSystemDirectoryA(buffer, MAX_PATH + 1);
    return length > 0 && length <= MAX_PATH ? std::string(buffer, length) : std::string();
  }

  void InternetSettingsChanged() override {
    InternetSetOptionA(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0);
    InternetSetOptionA(nullptr, INTERNET_OPTION_REFRESH, nullptr, 0);
  }

  bool SetComputerName(const std::string& name, std::string& message) override {
    if (SetComputerNameExA(ComputerNamePhysicalDnsHostname, name.c_str())) return true;
    message = SystemErrorText(GetLastError());
    return false;
  }

  std::string ToUtf8(std::string_view text, uint32_t codePage) override {
    return platform::CodePageToUtf8(text, codePage);
  }
  std::string FromUtf8(std::string_view utf8, uint32_t codePage) override {
    return platform::Utf8ToCodePage(utf8, codePage);
  }

  Version WindowsVersion() override {
    if (auto version = RtlVersion()) return *version;
    return RegistryWindowsVersion(platform::RootKey::LocalMachine,
                                  "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
  }
};

}  // namespace

std::unique_ptr<platform::System> MakeSystem() {
  return std::make_unique<Win32System>();
}

platform::System::Version RegistryWindowsVersion(platform::RootKey root, const std::string& path) {
  auto dword = [&](const char* name) -> std::optional<uint32_t> {
    auto value = ReadRegistryValue(root, path, name);
    if (!value || value->type != REG_DWORD || value->bytes.size() != sizeof(DWORD))
      return std::nullopt;
    DWORD number = 0;
    std::memcpy(&number, value->bytes.data(), sizeof number);
    return number;
  };
  auto text = [&](const char* name) -> std::string {
    auto value = ReadRegistryValue(root, path, name);
    if (!value || value->type != REG_SZ) return {};
    return value->bytes.substr(0, value->bytes.find('\0'));
  };
  // A number and the dot after it: "6.1" gives 6, then 1.
  auto number = [](const std::string& digits, std::size_t& at) -> std::optional<uint32_t> {
    uint32_t n = 0;
    auto [end, ec] = std::from_chars(digits.data() + at, digits.data() + digits.size(), n);
    if (ec != std::errc()) return std::nullopt;
    at = static_cast<std::size_t>(end - digits.data()) + 1;
    return n;
  };

  platform::System::Version version;  // XP
  if (auto major = dword("CurrentMajorVersionNumber")) {
    version.major = *major;
    version.minor = dword("CurrentMinorVersionNumber").value_or(0);
  } else {
    const std::string current = text("CurrentVersion");
    std::size_t at = 0;
    auto first = number(current, at);
    if (!first) return version;
    version.major = *first;
    version.minor = at < current.size() ? number(current, at).value_or(0) : 0;
  }
  std::size_t at = 0;
  version.build = number(text("CurrentBuildNumber"), at).value_or(0);
  return version;
}

}  // namespace lanvoy::win32

namespace lanvoy::platform {

std::string CodePageToUtf8(std::string_view text, uint32_t codePage) {
  return win32::FromWide(win32::ToWide(text, codePage), CP_UTF8);
}

std::string Utf8ToCodePage(std::string_view utf8, uint32_t codePage) {
  return win32::FromWide(win32::ToWide(utf8, CP_UTF8), codePage);
}

}  // namespace lanvoy::platform
