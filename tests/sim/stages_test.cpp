// The stage writers and readers against a simulated host.
#include <gtest/gtest.h>

#include <array>
#include <map>

#include <cstdio>

#include "apply/hosts_file.h"
#include "apply/mail_servers.h"
#include "apply/printer_computer.h"
#include "apply/profile_script.h"
#include "apply/proxy_settings.h"
#include "base/files.h"
#include "platform/registry_access.h"
#include "platform/sim/sim_platform.h"
#include "profiles/ini_file.h"
#include "test_support/temp_dir.h"

namespace lanvoy {
namespace {

using platform::RootKey;

class StagesTest : public ::testing::Test {
 protected:
  test::TempDir dir_;
  sim::SimPlatform platform_{dir_.path() / "host"};

  std::string ReadString(RootKey root, const std::string& key, const std::string& name) {
    TRegistry reg(platform_.registry(), root);
    EXPECT_TRUE(reg.OpenKey(key, false)) << key;
    return reg.ReadString(name);
  }
  bool ValueExists(RootKey root, const std::string& key, const std::string& name) {
    TRegistry reg(platform_.registry(), root);
    return reg.OpenKey(key, false) && reg.ValueExists(name);
  }
  void WriteString(RootKey root, const std::string& key, const std::string& name,
                   const std::string& value) {
    TRegistry reg(platform_.registry(), root);
    ASSERT_TRUE(reg.OpenKey(key, true));
    reg.WriteString(name, value);
  }
  void DeleteValue(RootKey root, const std::string& key, const std::string& name) {
    TRegistry reg(platform_.registry(), root);
    ASSERT_TRUE(reg.OpenKey(key, true));
    reg.DeleteValue(name);
  }
  std::string Events() { return dir_.Read("host/events.log"); }
  std::string HostsBytes() { return dir_.Read("host/WINDOWS/system32/drivers/etc/hosts"); }
  std::string WindowsDir() { return platform_.system().WindowsDirectory(); }
};

// ---------------------------------------------------------------- proxy

TEST_F(StagesTest, ProxyServerAndSwitchAreWrittenWhateverTheyHold) {
  WriteProxySettings(platform_.registry(), "proxy1", "8080", {}, false, false);
  EXPECT_EQ(ReadString(RootKey::CurrentUser, kInternetSettingsKey, "ProxyServer"), "proxy1:8080");
  TRegistry reg(platform_.registry(), RootKey::CurrentUser);
  ASSERT_TRUE(reg.OpenKey(kInternetSettingsKey, false));
  EXPECT_EQ(reg.ReadInteger("ProxyEnable"), 0);

  WriteProxySettings(platform_.registry(), "", "", {"10.*", "", "intranet"}, true, true);
  EXPECT_EQ(ReadString(RootKey::CurrentUser, kInternetSettingsKey, "ProxyServer"), ":");
  EXPECT_EQ(ReadString(RootKey::CurrentUser, kInternetSettingsKey, "ProxyOverride"),
            "10.*;intranet;<local>");
  EXPECT_EQ(reg.ReadInteger("ProxyEnable"), 1);
}

TEST_F(StagesTest, ProxyWrittenThenReadGivesTheSameSettings) {
  WriteProxySettings(platform_.registry(), "cache.corp", "3128", {"10.*", "intranet"}, true, true);
  ProxySettings read = ReadProxySettings(platform_.registry());
  EXPECT_EQ(read.Server, "cache.corp");
  EXPECT_EQ(read.Port, "3128");
  EXPECT_EQ(read.Exceptions, (std::vector<std::string>{"10.*", "intranet"}));
  EXPECT_TRUE(read.NoLocal);
  EXPECT_TRUE(read.Enable);
}

TEST_F(StagesTest, ProxyReaderSplitsAtTheFirstColonAndFindsOnlyLowerCaseLocal) {
  WriteString(RootKey::CurrentUser, kInternetSettingsKey, "ProxyServer", "proxy1:8080:x");
  WriteString(RootKey::CurrentUser, kInternetSettingsKey, "ProxyOverride", "10.*;<LOCAL>");
  ProxySettings read = ReadProxySettings(platform_.registry());
  EXPECT_EQ(read.Server, "proxy1");
  EXPECT_EQ(read.Port, "8080:x");
  EXPECT_FALSE(read.NoLocal);  // "<LOCAL>" in capitals does not count...
  EXPECT_EQ(read.Exceptions, std::vector<std::string>{"10.*"});  // ...but is removed all the same

  WriteString(RootKey::CurrentUser, kInternetSettingsKey, "ProxyServer", "8080");
  read = ReadProxySettings(platform_.registry());
  EXPECT_EQ(read.Server, "");
  EXPECT_EQ(read.Port, "8080");

  // The per-protocol form: the proxy of http, else the first one named.
  for (const auto& [value, server, port] : std::vector<std::array<std::string, 3>>{
           {"https=s.corp:443;http=h.corp:3128;ftp=f.corp:21", "h.corp", "3128"},
           {"https=s.corp:8443;ftp=f.corp:21", "s.corp", "8443"},
           {"HTTP = h.corp:80", "h.corp", "80"}}) {
    WriteString(RootKey::CurrentUser, kInternetSettingsKey, "ProxyServer", value);
    read = ReadProxySettings(platform_.registry());
    EXPECT_EQ(read.Server + "|" + read.Port, server + "|" + port) << value;
  }
}

TEST_F(StagesTest, ProxyReaderTakesAMissingSwitchForNoProxyAndRaisesForAMistypedOne) {
  // A user who never set a proxy (a fresh user profile) has none of the values.
  for (const char* name : {"ProxyEnable", "ProxyServer", "ProxyOverride"})
    DeleteValue(RootKey::CurrentUser, kInternetSettingsKey, name);
  EXPECT_EQ(ReadProxySettings(platform_.registry()), ProxySettings{});
  WriteString(RootKey::CurrentUser, kInternetSettingsKey, "ProxyEnable", "1");
  try {
    ReadProxySettings(platform_.registry());
    FAIL() << "no error for a string ProxyEnable";
  } catch (const ERegistryException& e) {
    EXPECT_STREQ(e.what(), "Invalid data type for 'ProxyEnable'");
  }
}

// ---------------------------------------------------------------- mail

class MailTest : public StagesTest {
 protected:
  void SetUp() override {
    WriteString(RootKey::CurrentUser, kAccountManagerKey, "Default Mail Account", "00000007");
  }
  std::string account_ = std::string(kAccountsKey) + "00000007";
};

TEST_F(MailTest, ImapAccountGetsImapAndSmtpAndNoPop) {
  WriteString(RootKey::CurrentUser, account_, "IMAP Server", "imap.old");
  WriteMailServers(platform_.registry(), "imap.new", "smtp.new", "pop.new");
  EXPECT_EQ(ReadString(RootKey::CurrentUser, account_, "IMAP Server"), "imap.new");
  EXPECT_EQ(ReadString(RootKey::CurrentUser, account_, "SMTP Server"), "smtp.new");
  EXPECT_FALSE(ValueExists(RootKey::CurrentUser, account_, "POP3 Server"));
}

TEST_F(MailTest, AccountWithBothKindsGetsBothAndAnEmptySmtp) {
  WriteString(RootKey::CurrentUser, account_, "IMAP Server", "imap.old");
  WriteString(RootKey::CurrentUser, account_, "POP3 Server", "pop.old");
  WriteMailServers(platform_.registry(), "imap.new", "", "pop.new");
  auto read = ReadMailServers(platform_.registry());
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, (MailServers{"imap.new", "", "pop.new"}));
}

TEST_F(StagesTest, MailWithoutADefaultAccountWritesNothing) {
  WriteString(RootKey::CurrentUser, kAccountManagerKey, "Default Mail Account", "");
  WriteMailServers(platform_.registry(), "i", "s", "p");
  EXPECT_FALSE(ValueExists(RootKey::CurrentUser, kAccountsKey, "SMTP Server"));
  EXPECT_FALSE(ReadMailServers(platform_.registry()).has_value());
}

TEST_F(StagesTest, MailWithoutAccountManagerKeyWritesNothingAndCreatesNoKey) {
  platform_.system().WindowsDirectory();  // the host exists from here on
  dir_.Write("host/registry.reg", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n");
  WriteMailServers(platform_.registry(), "i", "s", "p");
  TRegistry reg(platform_.registry(), RootKey::CurrentUser);
  EXPECT_FALSE(reg.OpenKey(kAccountManagerKey, false));
  EXPECT_FALSE(ReadMailServers(platform_.registry()).has_value());
}

TEST_F(StagesTest, MailClientIsFoundByItsWindowClassOnly) {
  EXPECT_FALSE(IsMailClientRunning(platform_.system()));
  dir_.Write("host/windows.txt", "Outlook Express Browser Class\n");
  EXPECT_TRUE(IsMailClientRunning(platform_.system()));
}

// ---------------------------------------------------------------- computer name, printer

TEST_F(StagesTest, EmptyComputerNameIsWrittenAsPcToAllFourValues) {
  WriteComputerName(platform_.registry(), "");
  EXPECT_EQ(ReadString(RootKey::LocalMachine, kComputerNameKey, "ComputerName"), "PC");
  EXPECT_EQ(ReadString(RootKey::LocalMachine, kActiveComputerNameKey, "ComputerName"), "PC");
  EXPECT_EQ(ReadString(RootKey::LocalMachine, kTcpipParametersKey, "Hostname"), "PC");
  EXPECT_EQ(ReadString(RootKey::LocalMachine, kTcpipParametersKey, "NV Hostname"), "PC");
  WriteComputerName(platform_.registry(), "FIELD-LAPTOP");
  EXPECT_EQ(ReadComputerName(platform_.registry()), "FIELD-LAPTOP");
}

TEST_F(StagesTest, DefaultPrinterGetsItsDevicesValueAndTheBroadcast) {
  auto printers = FillPrinterList(platform_.printers());
  ASSERT_GE(printers.size(), 2u);
  WriteString(RootKey::CurrentUser, kDevicesKey, printers[1], "winspool,Ne07:");
  SetDefaultPrinter(platform_, printers[1]);
  IniFile winIni((dir_.path() / "host" / "WINDOWS" / "win.ini").string());
  EXPECT_EQ(winIni.ReadString("windows", "device", ""), printers[1] + ",winspool,Ne07:");
  EXPECT_EQ(platform_.printers().DefaultPrinter(), printers[1]);
  EXPECT_NE(Events().find("windows"), std::string::npos);

  SetDefaultPrinter(platform_, "Not Installed");
  EXPECT_EQ(winIni.ReadString("windows", "device", ""), "Not Installed,");
}

TEST_F(StagesTest, CurrentPrinterFallsBackToTheFirstInstalled) {
  auto printers = FillPrinterList(platform_.printers());
  ASSERT_FALSE(printers.empty());
  IniFile winIni((dir_.path() / "host" / "WINDOWS" / "win.ini").string());
  winIni.DeleteKey("windows", "device");
  EXPECT_EQ(CurrentDefaultPrinter(platform_.printers()), printers.front());
}

TEST_F(StagesTest, RestartNeedsThePrivilegeAndIsOnlyLogged) {
  RestartComputer(platform_.system());
  EXPECT_NE(Events().find("EWX_REBOOT"), std::string::npos);
  EXPECT_FALSE(SetPrivilege(platform_.system(), "SeNoSuchPrivilege", true));
  ProfileRecord p;
  EXPECT_FALSE(RestartNeeded(p));
  p.IncludeHostName = true;
  EXPECT_TRUE(RestartNeeded(p));
}

// ---------------------------------------------------------------- hosts file

TEST_F(StagesTest, HostsFileHoldsExactlyTheCompleteRows) {
  WriteHostsFile(platform_.system(), WindowsDir(), {{"server1", "10.0.0.5", ""}});
  EXPECT_EQ(HostsBytes(), "10.0.0.5   server1   #\r\n");
  WriteHostsFile(platform_.system(), WindowsDir(),
                 {{"", "10.0.0.6", "no name"}, {"noaddr", "", ""}});
  EXPECT_EQ(HostsBytes(), "");
  EXPECT_EQ(HostsFilePath("C:\\WINNT"), "C:\\WINNT\\system32\\drivers\\etc\\hosts");
}

TEST_F(StagesTest, HostsLinesWithTabsOrIndentSurviveGetCurrentAndTheNextApply) {
  WriteHostsFile(platform_.system(), WindowsDir(), {{"gw", "10.0.0.1", "router"}});
  auto rows = FillHostsGrid(ReadHostsFile(platform_.system(), WindowsDir()));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], (HostRow{"gw   ", "10.0.0.1", "router"}));

  dir_.Write("host/WINDOWS/system32/drivers/etc/hosts",
             "# comment\r\n127.0.0.1\tlocalhost\r\n  10.0.0.7 host\r\n");
  rows = FillHostsGrid(ReadHostsFile(platform_.system(), WindowsDir()));
  EXPECT_EQ(rows, (std::vector<HostRow>{{"localhost", "127.0.0.1", ""}, {"host", "10.0.0.7", ""}}));
  WriteHostsFile(platform_.system(), WindowsDir(), rows);
  EXPECT_EQ(HostsBytes(), "127.0.0.1   localhost   #\r\n10.0.0.7   host   #\r\n");
}

TEST_F(StagesTest, HostsFileThatCannotBeWrittenStaysAndLeavesNoTemporaryFile) {
  platform_.system().WindowsDirectory();
  auto etc = dir_.path() / "host" / "WINDOWS" / "system32" / "drivers" / "etc";
  std::filesystem::create_directories(etc);
  std::filesystem::remove(etc / "hosts");
  std::filesystem::create_directory(etc / "hosts");  // something that is no file
  EXPECT_THROW(WriteHostsFile(platform_.system(), WindowsDir(), {{"a", "10.0.0.1", ""}}),
               EFCreateError);
  EXPECT_TRUE(std::filesystem::is_directory(etc / "hosts"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(etc),
                          std::filesystem::directory_iterator()),
            1);
  try {
    ReadHostsFile(platform_.system(), WindowsDir());
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_STREQ(e.what(), "Cannot open file C:\\WINDOWS\\system32\\drivers\\etc\\hosts");
  }
}

// ---------------------------------------------------------------- script

TEST_F(StagesTest, ScriptIsWrittenInAScratchFolderOfItsOwnAndOpenedByTheShell) {
  // Each script in a folder only its maker may enter, which stays for the script to run.
  auto scripts = [&] {
    std::vector<std::filesystem::path> found;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir_.path() / "host"))
      if (e.path().filename().string().rfind("Script", 0) == 0) found.push_back(e.path());
    return found;
  };
  RunProfileScript(platform_, {"MsgBox \"hi\"", "  indented  "}, 1);
  RunProfileScript(platform_, {"@exit"}, 0);
  RunProfileScript(platform_, {"x"}, 7);
  RunProfileScript(platform_, {}, 0);  // nothing at all
  const std::vector<std::filesystem::path> written = scripts();
  ASSERT_EQ(written.size(), 3u);
  std::map<std::string, std::string> byName;
  for (const auto& path : written) {
    byName[path.filename().string()] = *ReadFileBytes(path.string());
    EXPECT_EQ(path.parent_path().parent_path(), dir_.path() / "host" / "WINDOWS" / "Temp");
    EXPECT_EQ(std::filesystem::status(path.parent_path()).permissions(),
              std::filesystem::perms::owner_all);
    // What the shell opened is the file in that folder, named as Windows names it (a batch
    // file runs; this machine has no interpreter for the others, so they are recorded).
    if (path.extension() != ".bat") {
      EXPECT_NE(Events().find("open C:\\WINDOWS\\Temp\\" + path.parent_path().filename().string() +
                              "\\" + path.filename().string()),
                std::string::npos)
          << Events();
    }
  }
  EXPECT_EQ(byName["Script.vbs"], "MsgBox \"hi\"\r\n  indented  \r\n");
  EXPECT_EQ(byName["Script.bat"], "@exit\r\n");
  EXPECT_EQ(byName["Script"], "x\r\n");
}

}  // namespace
}  // namespace lanvoy
