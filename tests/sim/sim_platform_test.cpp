// The simulated host as a whole: its first-use content, printers, windows, shell, system.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "apply/mail_servers.h"
#include "base/files.h"
#include "base/strings.h"
#include "platform/registry_access.h"
#include "platform/sim/host.h"
#include "platform/sim/host_root.h"
#include "platform/sim/sim_platform.h"
#include "platform/standin_host.h"
#include "profiles/ini_file.h"
#include "test_support/temp_dir.h"

namespace lanvoy::sim {
namespace {

namespace fs = std::filesystem;
using platform::RootKey;

class SimPlatformTest : public ::testing::Test {
 protected:
  std::vector<std::string> Events() { return SplitLines(root.Read("host/events.log")); }
  void Executable(const std::string& name, const std::string& script) {
    root.Write(name, script);
    fs::permissions(root.path() / name, fs::perms::owner_all);
  }

  test::TempDir root;
  SimPlatform host{root.path() / "host"};
  std::string Host(const std::string& name) { return (root.path() / "host" / name).string(); }
};

TEST_F(SimPlatformTest, FreshHostLooksLikeAWindowsMachine) {
  TRegistry cu(host.registry(), RootKey::CurrentUser);
  ASSERT_TRUE(
      cu.OpenKey("\\Software\\microsoft\\windows\\currentVersion\\Internet Settings", false));
  EXPECT_EQ(cu.ReadString("ProxyServer"), "proxy.example.com:8080");
  EXPECT_EQ(cu.ReadInteger("ProxyEnable"), 0);
  EXPECT_EQ(cu.ReadString("ProxyOverride"), "<local>");
  // Windows 10 has no account of Outlook Express; XP's is in the test of the version.
  EXPECT_FALSE(cu.OpenKey("\\Software\\Microsoft\\Internet Account Manager", false));
  EXPECT_TRUE(cu.OpenKey("\\Software\\microsoft\\windows\\currentVersion\\Run", false));

  TRegistry lm(host.registry(), RootKey::LocalMachine);
  ASSERT_TRUE(
      lm.OpenKey("\\System\\CurrentControlSet\\Control\\ComputerName\\ComputerName\\", false));
  EXPECT_FALSE(lm.ReadString("ComputerName").empty());
  ASSERT_TRUE(
      lm.OpenKey("\\System\\CurrentControlSet\\Control\\ComputerName\\ActiveComputerName", false));
  EXPECT_FALSE(lm.ReadString("ComputerName").empty());
  ASSERT_TRUE(lm.OpenKey("\\System\\CurrentControlSet\\Services\\Tcpip\\Parameters", false));
  EXPECT_FALSE(lm.ReadString("Hostname").empty());
  EXPECT_FALSE(lm.ReadString("NV Hostname").empty());
  EXPECT_EQ(host.registry()
                .Open(RootKey::LocalMachine,
                      "System\\CurrentControlSet\\Services\\Tcpip\\Parameters", false)
                ->Query("DataBasePath")
                ->type,
            platform::ValueType::Other);

  EXPECT_EQ(root.Read("host/registry.reg").rfind("REGEDIT4\r\n\r\n[", 0), 0u);
  const auto hosts = ReadTextLines(host.system().NativePath(host.system().WindowsDirectory() +
                                                            "\\system32\\drivers\\etc\\hosts"));
  ASSERT_FALSE(hosts.empty());
  EXPECT_EQ(hosts.front()[0], '#');
  EXPECT_EQ(hosts.back(), "127.0.0.1       localhost");
  EXPECT_EQ(SplitLines(root.Read("host/windows.txt")).size(), 1u);
  EXPECT_TRUE(root.Exists("host/events.log"));
  EXPECT_FALSE(root.Exists("host/network")) << "the network state belongs to its tools";
}

TEST_F(SimPlatformTest, SecondStartKeepsEverythingAsItIs) {
  ASSERT_TRUE(host.registry().Open(RootKey::CurrentUser, "Software\\Mine", true)->SetDWord("X", 1));
  root.Write("host/WINDOWS/system32/drivers/etc/hosts", "10.0.0.1   a   #\r\n");
  fs::remove(root.path() / "host" / "windows.txt");
  const std::string registryBefore = root.Read("host/registry.reg");
  const std::string winIniBefore = root.Read("host/WINDOWS/win.ini");

  SimPlatform again(root.path() / "host");
  EXPECT_EQ(root.Read("host/registry.reg"), registryBefore);
  EXPECT_EQ(root.Read("host/WINDOWS/win.ini"), winIniBefore);
  EXPECT_EQ(root.Read("host/WINDOWS/system32/drivers/etc/hosts"), "10.0.0.1   a   #\r\n");
  EXPECT_TRUE(root.Exists("host/windows.txt")) << "only a missing file is made anew";
}

TEST_F(SimPlatformTest, HostThatCannotBeMadeRaises) {
  root.Write("blocked", "a file where the host folder should be");
  EXPECT_THROW(SimPlatform(root.path() / "blocked" / "host"), EFCreateError);
}

TEST(SimHostWindows, ChosenWhenTheHostIsMadeAndKeptByItsRegistry) {
  const char* before = std::getenv(kWindowsVersionVariable);
  const std::string saved = before ? before : "";
  // An empty value counts as none.
  auto set = [](const std::string& value) { setenv(kWindowsVersionVariable, value.c_str(), 1); };
  for (const auto& [variable, major] :
       std::vector<std::pair<std::string, uint32_t>>{{"", 10}, {"xp", 5}, {"10", 10}}) {
    test::TempDir dir;
    set(variable);
    EnsureHost(dir.path());
    set(major == 10 ? "xp" : "10");
    EnsureHost(dir.path());
    EXPECT_EQ(platform::StandinWindowsMajorVersion(dir.path()), major) << variable;
    SimRegistry registry(dir.path() / kRegistryFile);
    EXPECT_EQ(RegistryWindowsVersion(registry),
              (major == 10 ? platform::System::Version{10, 0, 19045}
                           : platform::System::Version{5, 1, 2600}));
    // Only XP has Outlook Express's account.
    EXPECT_EQ(MailAccountExists(registry), major == 5) << variable;
  }
  set("7");
  test::TempDir dir;
  EXPECT_THROW(EnsureHost(dir.path()), Error);
  set(saved);
  // Hosts made before they had a version are XP; Windows 7 tells only by "CurrentVersion".
  dir.Write(kRegistryFile, "REGEDIT4\r\n\r\n");
  EXPECT_EQ(platform::StandinWindowsMajorVersion(dir.path()), 5u);
  dir.Write(kRegistryFile,
            "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\"
            "CurrentVersion]\r\n\"CurrentVersion\"=\"6.1\"\r\n\r\n");
  EXPECT_EQ(platform::StandinWindowsMajorVersion(dir.path()), 6u);
}

TEST_F(SimPlatformTest, PrintersAndTheDefaultDevice) {
  auto& printers = host.printers();
  const auto installed = printers.Installed();
  ASSERT_EQ(installed.size(), 2u);
  ASSERT_TRUE(printers.DefaultPrinter());
  EXPECT_EQ(*printers.DefaultPrinter(), installed[0]);

  // What the program does to make the second one the default.
  auto devices = host.registry().Open(
      RootKey::CurrentUser, "\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Devices", false);
  ASSERT_NE(devices, nullptr);
  EXPECT_EQ(devices->Query(installed[1])->text, "winspool,Ne01:");
  ASSERT_TRUE(printers.WriteProfileString("windows", "device", installed[1] + ",winspool,Ne01:"));
  EXPECT_EQ(IniFile(Host("WINDOWS/win.ini")).ReadString("windows", "device", ""),
            installed[1] + ",winspool,Ne01:");
  EXPECT_EQ(*printers.DefaultPrinter(), installed[1]);
  printers.BroadcastSettingChange("windows");
  EXPECT_EQ(Events(), std::vector<std::string>{"broadcast WM_WININICHANGE windows"});
  // SetDefaultPrinter: only an installed printer.
  EXPECT_FALSE(printers.SetDefault("Nowhere"));
  EXPECT_TRUE(printers.SetDefault(installed[0]));
  EXPECT_EQ(*printers.DefaultPrinter(), installed[0]);

  // Devices in file order; a new one comes last.
  ASSERT_TRUE(devices->SetString("Zebra Label", "winspool,Ne02:"));
  EXPECT_EQ(printers.Installed().back(), "Zebra Label");

  ASSERT_TRUE(printers.WriteProfileString("windows", "device", ""));
  EXPECT_FALSE(printers.DefaultPrinter());
  ASSERT_TRUE(printers.WriteProfileString("windows", "device", ",winspool,Ne00:"));
  EXPECT_FALSE(printers.DefaultPrinter());
  fs::remove(Host("WINDOWS/win.ini"));
  EXPECT_FALSE(printers.DefaultPrinter());

  root.Write("host/registry.reg", "REGEDIT4\r\n\r\n");
  EXPECT_TRUE(printers.Installed().empty());
}

TEST_F(SimPlatformTest, WindowsFromTheWindowList) {
  auto& system = host.system();
  EXPECT_FALSE(system.FindWindowByClass("Outlook Express Browser Class"));
  EXPECT_FALSE(
      system.FindWindowByClass("# Class names of the top-level windows that exist, one "
                               "per line."));
  root.Write("host/windows.txt",
             "# windows\r\nShell_TrayWnd\r\n  Outlook Express Browser Class  \r\n");
  EXPECT_TRUE(system.FindWindowByClass("outlook express browser class"));
  EXPECT_TRUE(system.FindWindowByClass("Shell_TrayWnd"));
  EXPECT_FALSE(system.FindWindowByClass("Outlook Express"));
  EXPECT_FALSE(system.FindWindowByClass(""));
}

TEST_F(SimPlatformTest, NativePathIsTheOneConversion) {
  auto& system = host.system();
  const std::string r = (root.path() / "host").string();
  EXPECT_EQ(system.NativePath("C:\\WINDOWS\\system32\\drivers\\etc\\hosts"),
            r + "/WINDOWS/system32/drivers/etc/hosts");
  // Windows opens any spelling; an existing folder keeps its own.
  EXPECT_EQ(system.NativePath("c:\\Windows\\System32\\DRIVERS\\etc\\HOSTS"),
            r + "/WINDOWS/system32/drivers/etc/hosts");
  EXPECT_EQ(system.NativePath("C:\\WINDOWS\\New Folder\\x.txt"), r + "/WINDOWS/New Folder/x.txt");
  EXPECT_EQ(system.NativePath("C:\\..\\..\\WINDOWS\\win.ini"), r + "/WINDOWS/win.ini");
  EXPECT_EQ(system.NativePath("\\WINDOWS\\win.ini"), r + "/WINDOWS/win.ini");
  EXPECT_EQ(system.NativePath("D:\\data"), r + "/D/data");
  EXPECT_EQ(system.NativePath("/usr/bin/env"), "/usr/bin/env");
  EXPECT_EQ(system.NativePath("/opt/lanvoy/bin\\tmp.txt"), "/opt/lanvoy/bin/tmp.txt");
  EXPECT_EQ(system.NativePath("sub\\file.txt"), "sub/file.txt");
  EXPECT_EQ(system.WindowsDirectory(), "C:\\WINDOWS");
}

TEST_F(SimPlatformTest, CodePagesAreTheRegistrysAndConvertAsWindowsDoes) {
  auto& system = host.system();
  EXPECT_EQ(system.AnsiCodePage(), 1252u);
  EXPECT_EQ(system.OemCodePage(), 850u);
  TRegistry lm(host.registry(), RootKey::LocalMachine);
  ASSERT_TRUE(lm.OpenKey("\\SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage", false));
  EXPECT_EQ(lm.ReadString("ACP"), "1252");

  const struct {
    const char* bytes;
    uint32_t codePage;
    const char* utf8;
  } both[] = {
      {"Netzwerkbr\374cke", 1252, "Netzwerkbr\u00FCcke"},
      {"Netzwerkbr\201cke", 850, "Netzwerkbr\u00FCcke"},
      {"LAN-Verbindung 2", 850, "LAN-Verbindung 2"},
      {"\x80 \xE4", 1252, "\u20AC \u00E4"},
      {"\xE4", 1251, "\u0434"},
      {"\x83\x65", 932, "\u30C6"},
      {"", 1252, ""},
  };
  for (const auto& c : both) {
    EXPECT_EQ(system.ToUtf8(c.bytes, c.codePage), c.utf8) << c.codePage << " " << c.bytes;
    EXPECT_EQ(system.FromUtf8(c.utf8, c.codePage), c.bytes) << c.codePage << " " << c.utf8;
  }
  // What a code page lacks becomes "?": a byte without a character, a character without a
  // byte, broken UTF-8, and everything but ASCII of a code page nobody knows.
  EXPECT_EQ(system.ToUtf8("a\x81z", 1252), "a?z");
  EXPECT_EQ(system.FromUtf8("\u20AC\u0434x", 850), "??x");
  EXPECT_EQ(system.FromUtf8("a\xFF\xC3", 1252), "a??");
  EXPECT_EQ(system.ToUtf8("ok\xFC", 4711), "ok?");

  // Another machine's code pages; a value that is no number is the default.
  lm.WriteString("ACP", "1251");
  ASSERT_TRUE(lm.DeleteValue("OEMCP"));
  EXPECT_EQ(system.AnsiCodePage(), 1251u);
  EXPECT_EQ(system.OemCodePage(), 850u);
  lm.WriteString("ACP", "none");
  EXPECT_EQ(system.AnsiCodePage(), 1252u);
}

TEST_F(SimPlatformTest, RestartAndPrivileges) {
  auto& system = host.system();
  EXPECT_TRUE(system.AdjustPrivilege("SeShutdownPrivilege", true));
  EXPECT_TRUE(system.AdjustPrivilege("SeShutdownPrivilege", false));
  EXPECT_FALSE(system.AdjustPrivilege("SeNoSuchPrivilege", true));
  EXPECT_FALSE(system.AdjustPrivilege("", true));
  EXPECT_TRUE(system.ExitWindows(2, 0));
  EXPECT_TRUE(system.ExitWindows(1 | 4, 0x80000000u));
  system.InternetSettingsChanged();
  EXPECT_EQ(Events(),
            (std::vector<std::string>{"ExitWindowsEx EWX_REBOOT",
                                      "ExitWindowsEx EWX_SHUTDOWN|EWX_FORCE reason 2147483648",
                                      "InternetSetOption INTERNET_OPTION_SETTINGS_CHANGED, "
                                      "INTERNET_OPTION_REFRESH"}));
}

TEST_F(SimPlatformTest, ComputerNameAsSetComputerNameExTakesIt) {
  auto& system = host.system();
  std::string message;
  for (const char* refused : {"", "a b", "12345", "name_1", "B\xfcro"})
    EXPECT_FALSE(system.SetComputerName(refused, message)) << refused;
  EXPECT_EQ(message, "The parameter is incorrect");
  ASSERT_TRUE(system.SetComputerName("office-notebook-1", message));
  TRegistry lm(host.registry(), RootKey::LocalMachine);
  // Until the restart only the names kept for it change.
  ASSERT_TRUE(
      lm.OpenKey("\\System\\CurrentControlSet\\Control\\ComputerName\\ComputerName", false));
  EXPECT_EQ(lm.ReadString("ComputerName"), "OFFICE-NOTEBOOK");
  ASSERT_TRUE(
      lm.OpenKey("\\System\\CurrentControlSet\\Control\\ComputerName\\ActiveComputerName", false));
  EXPECT_EQ(lm.ReadString("ComputerName"), "LANVOY-PC");
  ASSERT_TRUE(lm.OpenKey("\\System\\CurrentControlSet\\Services\\Tcpip\\Parameters", false));
  EXPECT_EQ(lm.ReadString("NV Hostname"), "office-notebook-1");
  EXPECT_EQ(lm.ReadString("Hostname"), "lanvoy-pc");
}

TEST_F(SimPlatformTest, VersionOfTheRunningProgramOnly) {
  auto& system = host.system();
  const std::string exe = system.ExecutablePath();
  EXPECT_EQ(exe, RunningProgramPath().string());
  auto version = system.FileVersion(exe);
  ASSERT_TRUE(version);
  EXPECT_EQ((*version)[0], LANVOY_VERSION_MAJOR);
  EXPECT_EQ((*version)[1], LANVOY_VERSION_MINOR);
  EXPECT_FALSE(system.FileVersion("/bin/sh"));
  EXPECT_FALSE(system.FileVersion("C:\\WINDOWS\\notepad.exe"));
}

TEST_F(SimPlatformTest, ShellOpensWhatItCanAndRecordsTheRest) {
  auto& shell = host.shell();
  const std::string hosts = "C:\\WINDOWS\\system32\\drivers\\etc\\hosts";
  EXPECT_GT(shell.Open("notepad.exe", hosts, "", 1), 32);
  root.Write("Script.vbs", "WScript.Echo 1\r\n");
  const std::string vbs = root.File("Script.vbs");
  EXPECT_GT(shell.Open(vbs, "", "", 1), 32);
  root.Write("Script", "no kind\r\n");
  EXPECT_GT(shell.Open(root.File("Script"), "", "", 1), 32);
  EXPECT_EQ(shell.Open(root.File("Script.js"), "", "", 1), 2);
  EXPECT_EQ(shell.Open(root.File("nowhere/Script.js"), "", "", 1), 3);
  EXPECT_EQ(Events(), (std::vector<std::string>{"open notepad.exe " + hosts, "open " + vbs,
                                                "open " + root.File("Script")}));

  // A program runs, in the directory given, without being waited for.
  Executable("mark", "#!/bin/sh\npwd > \"$LANVOY_HOST/ran.txt\"\n");
  fs::create_directories(root.path() / "work");
  EXPECT_GT(shell.Open(root.File("mark"), "", root.File("work"), 1), 32);
  for (int i = 0; i < 500 && root.Read("host/ran.txt").empty(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(root.Read("host/ran.txt"), root.File("work") + "\n");
  EXPECT_EQ(Events().size(), 3u);
}

}  // namespace
}  // namespace lanvoy::sim
