// System, printers and shell services on the Windows API, as Wine provides them.
// The Windows API for the fixtures (a window to find, the profile read-back).
#include "platform/win32/windows_api.h"

#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "base/strings.h"
#include "platform/platform.h"
#include "platform/win32/win32_parts.h"
#include "test_support/temp_dir.h"
#include "win32/win32_test_support.h"

namespace lanvoy {
namespace {

class Win32SystemTest : public ::testing::Test {
 protected:
  std::unique_ptr<platform::Platform> machine_ = platform::CreatePlatform();
  platform::System& system_ = machine_->system();
};

TEST_F(Win32SystemTest, WindowsDirectoryAndOwnPath) {
  std::string windows = system_.WindowsDirectory();
  const char* windir = std::getenv("windir");
  ASSERT_NE(windir, nullptr);
  EXPECT_TRUE(SameText(windows, windir)) << windows;
  EXPECT_TRUE(std::filesystem::is_directory(windows + "\\system32"));

  std::string self = system_.ExecutablePath();
  EXPECT_TRUE(SameText(ExtractFileName(self), "lanvoy_win32_tests.exe")) << self;
  EXPECT_TRUE(std::filesystem::is_regular_file(self));
  EXPECT_EQ(system_.NativePath("C:\\windows\\system32\\drivers\\etc\\hosts"),
            "C:\\windows\\system32\\drivers\\etc\\hosts");
}

TEST_F(Win32SystemTest, CodePagesAreTheSystemsAndConvertBothWays) {
  EXPECT_EQ(system_.AnsiCodePage(), GetACP());
  EXPECT_EQ(system_.OemCodePage(), GetOEMCP());
  const struct {
    const char* bytes;
    uint32_t codePage;
    const char* utf8;
  } both[] = {
      {"Netzwerkbr\374cke", 1252, "Netzwerkbr\u00FCcke"},
      {"Netzwerkbr\201cke", 850, "Netzwerkbr\u00FCcke"},
      {"\x80 \xE4", 1252, "\u20AC \u00E4"},
      {"\xE4", 1251, "\u0434"},
      {"", 1252, ""},
  };
  for (const auto& c : both) {
    EXPECT_EQ(system_.ToUtf8(c.bytes, c.codePage), c.utf8) << c.codePage << " " << c.bytes;
    EXPECT_EQ(system_.FromUtf8(c.utf8, c.codePage), c.bytes) << c.codePage << " " << c.utf8;
  }
  // No look-alike for what the code page lacks: "?".
  EXPECT_EQ(system_.FromUtf8("\u20AC\u0101x", 850), "??x");
}

TEST_F(Win32SystemTest, FileVersionComesFromTheVersionResource) {
  auto version = system_.FileVersion(system_.ExecutablePath());
  ASSERT_TRUE(version.has_value());
  std::array<uint16_t, 4> expected = {LANVOY_VERSION_MAJOR, LANVOY_VERSION_MINOR,
                                      LANVOY_VERSION_PATCH, LANVOY_VERSION_TWEAK};
  EXPECT_EQ(*version, expected);
  // The oracle is built without the resource; a text file and a missing file have none.
  EXPECT_FALSE(system_.FileVersion(test::BesideTests(*machine_, "lanvoy_ini_oracle.exe")));
  test::TempDir dir;
  dir.Write("plain.txt", "no version here");
  EXPECT_FALSE(system_.FileVersion(dir.File("plain.txt")));
  EXPECT_FALSE(system_.FileVersion(dir.File("missing.exe")));
}

std::string Dotted(const platform::System::Version& v) {
  return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.build);
}

TEST_F(Win32SystemTest, WindowsVersionIsWhatNtdllAndTheRegistrySay) {
  using RtlGetVersionFunction = LONG(WINAPI*)(PRTL_OSVERSIONINFOW);
  auto rtlGetVersion = reinterpret_cast<RtlGetVersionFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
  ASSERT_NE(rtlGetVersion, nullptr);
  RTL_OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_EQ(rtlGetVersion(&info), 0);
  const auto version = system_.WindowsVersion();
  EXPECT_EQ(Dotted(version), std::to_string(info.dwMajorVersion) + "." +
                                 std::to_string(info.dwMinorVersion) + "." +
                                 std::to_string(info.dwBuildNumber));
  // Wine keeps its registry in step (6.1.7601 unless the prefix is told otherwise).
  EXPECT_EQ(
      Dotted(win32::RegistryWindowsVersion(platform::RootKey::LocalMachine,
                                           "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion")),
      Dotted(version));
}

TEST_F(Win32SystemTest, RegistryVersionFromTheCurrentVersionValues) {
  const std::string base = "Software\\LanvoyTests\\Version" + std::to_string(GetCurrentProcessId());
  struct Value {
    const char* name;
    std::optional<uint32_t> dword;
    const char* text;
  };
  const struct {
    std::vector<Value> values;
    const char* expected;
  } table[] = {
      // Windows 10 leaves "6.3" in CurrentVersion for old programs: the numbers count.
      {{{"CurrentMajorVersionNumber", 10, ""},
        {"CurrentMinorVersionNumber", 0, ""},
        {"CurrentVersion", {}, "6.3"},
        {"CurrentBuildNumber", {}, "19045"}},
       "10.0.19045"},
      {{{"CurrentVersion", {}, "6.1"}, {"CurrentBuildNumber", {}, "7601"}}, "6.1.7601"},
      {{{"CurrentVersion", {}, "6.1"}}, "6.1.0"},
      // Nothing that names a version: XP.
      {{{"CurrentVersion", {}, "six"}, {"CurrentBuildNumber", {}, "7601"}}, "5.1.2600"},
      {{}, "5.1.2600"},
  };
  for (std::size_t i = 0; i < std::size(table); ++i) {
    const std::string path = base + "\\" + std::to_string(i);
    auto key = machine_->registry().Open(platform::RootKey::CurrentUser, path, true);
    ASSERT_NE(key, nullptr);
    for (const Value& v : table[i].values)
      v.dword ? key->SetDWord(v.name, *v.dword) : key->SetString(v.name, v.text);
    EXPECT_EQ(Dotted(win32::RegistryWindowsVersion(platform::RootKey::CurrentUser, path)),
              table[i].expected)
        << "row " << i;
  }
  EXPECT_EQ(Dotted(win32::RegistryWindowsVersion(platform::RootKey::CurrentUser, base + "\\none")),
            "5.1.2600");
  RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str());
}

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  return DefWindowProcA(window, message, w, l);
}

TEST_F(Win32SystemTest, FindsTopLevelWindowsByClassAlone) {
  const char* className = "Lanvoy Test Browser Class";
  EXPECT_FALSE(system_.FindWindowByClass(className));
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = PlainWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = className;
  ASSERT_NE(RegisterClassA(&windowClass), 0);
  HWND window = CreateWindowExA(0, className, "any title", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10,
                                nullptr, nullptr, windowClass.hInstance, nullptr);
  if (window == nullptr) {
    UnregisterClassA(className, windowClass.hInstance);
    GTEST_SKIP() << "this Wine has no display driver that creates windows";
  }
  EXPECT_TRUE(system_.FindWindowByClass(className));
  EXPECT_FALSE(system_.FindWindowByClass("any title"));  // the title is not the class
  DestroyWindow(window);
  EXPECT_FALSE(system_.FindWindowByClass(className));
  UnregisterClassA(className, windowClass.hInstance);
}

TEST_F(Win32SystemTest, AdjustsTheShutdownPrivilegeOfTheOwnToken) {
  // ExitWindows is never called here: under Wine it ends every process of the prefix.
  EXPECT_TRUE(system_.AdjustPrivilege("SeShutdownPrivilege", true));
  EXPECT_TRUE(system_.AdjustPrivilege("SeShutdownPrivilege", false));
  EXPECT_FALSE(system_.AdjustPrivilege("SeNoSuchPrivilege", true));
}

TEST_F(Win32SystemTest, PrintersWithoutAPrintServer) {
  // Wine lists no printer when no print server runs, so neither is there a default.
  auto& printers = machine_->printers();
  auto installed = printers.Installed();
  EXPECT_TRUE(installed.empty()) << installed.front();
}

TEST_F(Win32SystemTest, DefaultPrinterEntryLandsInTheUserProfile) {
  auto& printers = machine_->printers();
  const std::string device = "Lanvoy Test Printer,winspool,Ne00:";
  char before[256] = {};
  GetProfileStringA("windows", "device", "", before, sizeof before);
  ASSERT_TRUE(printers.WriteProfileString("windows", "device", device));
  // The default printer is the name before the first comma of that entry.
  EXPECT_EQ(printers.DefaultPrinter().value_or("none"), "Lanvoy Test Printer");
  char read[256] = {};
  GetProfileStringA("windows", "device", "", read, sizeof read);
  EXPECT_EQ(std::string(read), device);
  // Win.ini's "windows" section is mapped into the user's registry.
  auto key = machine_->registry().Open(platform::RootKey::CurrentUser,
                                       "\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows",
                                       false);
  ASSERT_NE(key, nullptr);
  auto value = key->Query("device");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->text, device);

  auto start = std::chrono::steady_clock::now();
  printers.BroadcastSettingChange("windows");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  WriteProfileStringA("windows", "device", before[0] != '\0' ? before : nullptr);
}

TEST_F(Win32SystemTest, ShellOpenReportsSuccessAboveThirtyTwo) {
  auto& shell = machine_->shell();
  test::TempDir dir;
  EXPECT_LE(shell.Open(dir.File("missing.bat"), "", "", 1), 32);
  EXPECT_GT(shell.Open(test::BesideTests(*machine_, "lanvoy_test_child.exe"), "exit 0",
                       dir.path().string(), 0),
            32);
}

// What the elevated apply hands to netsh and to the script: a folder only the administrators
// and SYSTEM may enter, files made new and held, all gone with the folder.
TEST_F(Win32SystemTest, ScratchFolderOpenOnlyToAdministratorsAndSystem) {
  std::string why;
  auto folder = system_.MakeScratchFolder(why);
  ASSERT_NE(folder, nullptr) << why;
  const std::string path = folder->Path();
  EXPECT_EQ(path.rfind(system_.WindowsDirectory() + "\\Temp\\Lanvoy-", 0), 0u) << path;

  // The access list the folder is made with: Wine keeps none on its files (it reports one of
  // the Unix mode), so the list itself is read here.
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
      win32::ScratchFolderAccess(), SDDL_REVISION_1, &descriptor, nullptr));
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted));
  ASSERT_TRUE(present && dacl);
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  ASSERT_TRUE(GetSecurityDescriptorControl(descriptor, &control, &revision));
  EXPECT_TRUE(control & SE_DACL_PROTECTED) << "nothing inherited from the folders above";
  std::vector<std::string> allowed;
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    ACE_HEADER* ace = nullptr;
    ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
    ASSERT_EQ(ace->AceType, ACCESS_ALLOWED_ACE_TYPE);
    char* sid = nullptr;
    ASSERT_TRUE(
        ConvertSidToStringSidA(&reinterpret_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart, &sid));
    allowed.push_back(sid);
    LocalFree(sid);
  }
  LocalFree(descriptor);
  EXPECT_EQ(allowed, (std::vector<std::string>{"S-1-5-32-544", "S-1-5-18"}));

  ASSERT_TRUE(folder->Create("tmp.txt", "pushd interface\r\n"));
  EXPECT_FALSE(folder->Create("tmp.txt", "again"));  // never over an existing name
  // Held: nobody may open it to write or delete it meanwhile; reading is allowed.
  EXPECT_EQ(CreateFileA((path + "tmp.txt").c_str(), GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_FALSE(DeleteFileA((path + "tmp.txt").c_str()));
  HANDLE reading =
      CreateFileA((path + "tmp.txt").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(reading, INVALID_HANDLE_VALUE);
  CloseHandle(reading);
  folder.reset();
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace lanvoy
