// ApplyProfile end to end on the Windows API under Wine, then Get Current reading it back: the
// netsh stand-in built beside the tests (Wine's own netsh is a stub), the registry, the
// hosts file under the real Windows directory, and the dump batch file run by the real
// command interpreter with its ">" redirection.
#include "platform/win32/windows_api.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "apply/apply_sequence.h"
#include "apply/hosts_file.h"
#include "apply/mail_servers.h"
#include "apply/printer_computer.h"
#include "apply/proxy_settings.h"
#include "base/files.h"
#include "components/appexec.h"
#include "components/sys_info.h"
#include "platform/registry_access.h"
#include "sysread/current_settings_reader.h"
#include "test_support/profiles.h"
#include "test_support/recorders.h"
#include "test_support/temp_dir.h"
#include "win32/win32_test_support.h"

namespace lanvoy {
namespace {

std::optional<std::string> Environment(const char* name) {
  char buffer[32768];
  DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  if (n == 0 || n >= sizeof buffer) return std::nullopt;
  return std::string(buffer, n);
}

void SetEnvironment(const char* name, const std::optional<std::string>& value) {
  SetEnvironmentVariableA(name, value ? value->c_str() : nullptr);
}

class Win32ApplyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The stand-in keeps its network state in this test's folder, and the batch file's
    // "netsh.exe" (found by the command interpreter along PATH) is the stand-in too.
    SetEnvironment("LANVOY_HOST", (dir_.path() / "host").string());
    const std::string bin = ExtractFilePath(machine_->system().ExecutablePath());
    SetEnvironment("PATH", bin + ";" + oldPath_.value_or(""));
    hostsFile_ = HostsFilePath(machine_->system().WindowsDirectory());
    // The program folder has a blank in its path, and a program C:\...\Program.exe waits for
    // a start that reads an unquoted path to it the way CreateProcessA does.
    std::filesystem::create_directories(programDir_);
    std::filesystem::copy_file(test::BesideTests(*machine_, "lanvoy_test_child.exe"),
                               dir_.path() / "Program.exe");
    oldHosts_ = ReadFileBytes(hostsFile_);

    for (TAppExec* exec : {&netsh_, &tempBat_}) {
      exec->SetWait(true);
      exec->SetWindowState(wsMinimized);
      exec->SetHideIfMinimized(true);
    }
    netsh_.SetExeName("netsh");

    // A default mail account with a POP3 and an IMAP server, as an account holds them.
    TRegistry reg(machine_->registry(), platform::RootKey::CurrentUser);
    ASSERT_TRUE(reg.OpenKey(kAccountManagerKey, true));
    reg.WriteString("Default Mail Account", "00000009");
    ASSERT_TRUE(reg.OpenKey(std::string(kAccountsKey) + "00000009", true));
    reg.WriteString("POP3 Server", "pop.old");
    reg.WriteString("IMAP Server", "imap.old");
    reg.WriteString("SMTP Server", "smtp.old");
  }
  void TearDown() override {
    SetEnvironment("LANVOY_HOST", oldHost_);
    SetEnvironment("PATH", oldPath_);
    if (oldHosts_) WriteFileAtomic(hostsFile_, *oldHosts_);
  }

  ApplyOutcome Apply(const ProfileRecord& p) {
    ApplyContext ctx{*machine_, programDir_, machine_->system().WindowsDirectory(),
                     netsh_,    observer_,   std::chrono::milliseconds(0)};
    return ApplyProfile(p, true, ctx);
  }
  void ReadBack() {
    ReadContext ctx{*machine_, programDir_, machine_->system().WindowsDirectory(), tempBat_};
    ReadCurrentSettings(ctx, sink_);
  }

  bool InProgramDir(const std::string& name) const {
    return std::filesystem::exists(programDir_ + name);
  }

  const std::optional<std::string> oldHost_ = Environment("LANVOY_HOST");
  const std::optional<std::string> oldPath_ = Environment("PATH");
  std::unique_ptr<platform::Platform> machine_ = platform::CreatePlatform();
  test::TempDir dir_;
  std::string programDir_ = dir_.File("Program Files\\Lanvoy") + "\\";
  std::string hostsFile_;
  std::optional<std::string> oldHosts_;
  TAppExec netsh_{machine_->processes()};
  TAppExec tempBat_{machine_->processes()};
  test::RecordingObserver observer_;
  test::RecordingSink sink_;
};

TEST_F(Win32ApplyTest, AppliedProfileReadsBackThroughGetCurrent) {
  ApplyOutcome outcome = Apply(test::TwoConnectionProfile());
  EXPECT_TRUE(outcome.netshWaited);
  EXPECT_EQ(outcome.netshExitCode, 0u) << outcome.netshOutput;
  EXPECT_TRUE(outcome.netshErrors.empty()) << outcome.netshOutput;
  EXPECT_NE(outcome.netshOutput.find("Ok."), std::string::npos) << outcome.netshOutput;
  EXPECT_TRUE(outcome.hostsError.empty()) << outcome.hostsError;
  EXPECT_FALSE(InProgramDir("tmp.txt"));  // the script is removed after the run
  EXPECT_TRUE(dir_.Exists("host/network.ini"));
  EXPECT_EQ(observer_.stages.size(), 5u);
  EXPECT_EQ(observer_.closed, 1);

  ReadBack();
  EXPECT_EQ(sink_.calls, (std::vector<std::string>{"clear", "connections", "proxy", "mail", "name",
                                                   "hosts", "connections"}))
      << "no printer without a print server";
  test::ExpectTwoConnectionProfileRead(sink_);
  // Nothing of the apply or of Get Current is left beside the program.
  EXPECT_FALSE(InProgramDir("tmp.txt"));
  EXPECT_FALSE(InProgramDir("tmp.bat"));
}

TEST_F(Win32ApplyTest, DumpReadThroughThePipeKeepsItsLineEnds) {
  // What Get Current reads: the system's netsh (the stand-in in the prefix's system32),
  // through the capture's pipe, no file in between.
  tempBat_.SetExeName(SystemProgram(machine_->system(), "netsh.exe"));
  tempBat_.SetExeParams({"-c interface dump"});
  tempBat_.SetCaptureOutput(true);
  tempBat_.Execute();
  EXPECT_EQ(tempBat_.ErrNo(), 0);
  const std::string& bytes = tempBat_.Output();
  EXPECT_NE(bytes.find("# Interface IP Configuration for \"LAN-Verbindung\"\r\n"),
            std::string::npos)
      << bytes;
  EXPECT_EQ(bytes.find("\r\r\n"), std::string::npos) << "text-mode output doubled the CR";
}

TEST_F(Win32ApplyTest, RejectedScriptLineIsReportedNotTakenForSuccess) {
  ProfileRecord p;
  p.LongLANDescription = "No Such Connection";
  p.DHCP = kModeStatic;
  p.IP = "10.0.0.300";
  p.Subnet = "255.255.255.0";
  ApplyOutcome outcome = Apply(p);
  EXPECT_TRUE(outcome.netshWaited);
  EXPECT_NE(outcome.netshExitCode, 0u) << outcome.netshOutput;
  EXPECT_FALSE(outcome.netshErrors.empty()) << outcome.netshOutput;
  EXPECT_FALSE(outcome.NetshSucceeded());
  EXPECT_EQ(observer_.stages.size(), 5u);  // the later stages still ran
}

}  // namespace
}  // namespace lanvoy
