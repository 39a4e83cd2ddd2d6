// Applying a profile to a simulated host with the real stand-ins, and reading it back.
#include <gtest/gtest.h>

#include "apply/apply_sequence.h"
#include "apply/apply_session.h"
#include "apply/hosts_file.h"
#include "apply/mail_servers.h"
#include "apply/printer_computer.h"
#include "apply/proxy_settings.h"
#include "base/files.h"
#include "components/appexec.h"
#include "platform/registry_access.h"
#include "platform/sim/sim_platform.h"
#include "profiles/profile_store.h"
#include "sim/netsh_test_support.h"
#include "standin/network_state.h"
#include "sysread/connections.h"
#include "sysread/current_record.h"
#include "sysread/current_settings_reader.h"
#include "test_support/host_windows.h"
#include "test_support/profiles.h"
#include "test_support/recorders.h"
#include "test_support/temp_dir.h"

namespace lanvoy {
namespace {

class ApplyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The program folder has a blank in its path, and an executable C:\Program (the first
    // word of an unquoted path to it) waits for a start that takes only that word.
    std::filesystem::create_directories(dir_.path() / "Program Files" / "Lanvoy");
    dir_.Write("Program", "#!/bin/sh\nexit 0\n");
    std::filesystem::permissions(dir_.path() / "Program", std::filesystem::perms::owner_all);
    netsh_.SetExeName("netsh");
    netsh_.SetWait(true);
    netsh_.SetWindowState(wsMinimized);
    netsh_.SetHideIfMinimized(true);
    tempBat_.SetWait(true);
    tempBat_.SetWindowState(wsMinimized);
    tempBat_.SetHideIfMinimized(true);
  }

  ApplyOutcome Apply(const ProfileRecord& p, bool show = true) {
    ApplyContext ctx{platform_, programDir_, platform_.system().WindowsDirectory(),
                     netsh_,    observer_,   std::chrono::milliseconds(0)};
    return ApplyProfile(p, show, ctx);
  }
  void ReadBack() {
    ReadContext ctx{platform_, programDir_, platform_.system().WindowsDirectory(), tempBat_};
    ReadCurrentSettings(ctx, sink_);
  }

  bool InProgramDir(const std::string& name) const {
    return std::filesystem::exists(programDir_ + name);
  }

  test::TempDir dir_;
  // The five stages as Windows 5 runs them (the session picks the grammar on later ones).
  test::HostWindows hostWindows_{"xp"};
  sim::SimPlatform platform_{dir_.path() / "host"};
  std::string programDir_ = (dir_.path() / "Program Files" / "Lanvoy").string() + "/";
  TAppExec netsh_{platform_.processes()};
  TAppExec tempBat_{platform_.processes()};
  test::RecordingObserver observer_;
  test::RecordingSink sink_;
};

TEST_F(ApplyTest, AppliedProfileReadsBackThroughGetCurrent) {
  ProfileRecord p = test::TwoConnectionProfile();
  auto printers = FillPrinterList(platform_.printers());
  ASSERT_GE(printers.size(), 2u);
  p.IncludeDefPrint = true;
  p.DefPrinter = printers[1];
  TRegistry reg(platform_.registry(), platform::RootKey::CurrentUser);
  ASSERT_TRUE(reg.OpenKey("\\Software\\Microsoft\\Internet Account Manager", false));
  std::string account = reg.ReadString("Default Mail Account");
  ASSERT_TRUE(
      reg.OpenKey("\\Software\\Microsoft\\Internet Account Manager\\Accounts\\" + account, false));
  reg.WriteString("IMAP Server", "imap.old");  // an account with both kinds of server

  ApplyOutcome outcome = Apply(p);
  EXPECT_TRUE(outcome.netshWaited);
  EXPECT_EQ(outcome.netshExitCode, 0u) << outcome.netshOutput;
  EXPECT_TRUE(outcome.netshErrors.empty()) << outcome.netshOutput;
  EXPECT_FALSE(InProgramDir("tmp.txt"));

  ReadBack();
  EXPECT_EQ(sink_.calls, (std::vector<std::string>{"clear", "connections", "proxy", "mail", "name",
                                                   "printer", "hosts", "connections"}));
  test::ExpectTwoConnectionProfileRead(sink_);
  EXPECT_EQ(sink_.printer, printers[1]);
  EXPECT_FALSE(InProgramDir("tmp.txt"));
  EXPECT_FALSE(InProgramDir("tmp.bat"));
}

TEST_F(ApplyTest, GermanConnectionNamesPassEveryStageUnchanged) {
  // A German Windows's connections; the host keeps them in Windows-1252 (ü = FC).
  const std::string bridge = "Netzwerkbr\374cke", wireless = "Drahtlose Netzwerkverbindung";
  standin::NetworkState machine = standin::NetworkState::Default();
  machine.connections[0].name = "LAN-Verbindung 2";
  machine.connections[1].name = wireless;
  machine.connections.push_back(machine.connections[0]);
  machine.connections[2].name = bridge;
  machine.Save(standin::NetworkStatePath(platform_.root()));

  // The profile comes from the store, found by its name in other letters (the profile
  // functions fold a..z only).
  TProfileStore store(programDir_ + "Lanvoy.INI");
  ProfileRecord saved = test::TwoConnectionProfile();
  saved.LongLANDescription = bridge;
  saved.LongLANDescriptionLan2 = wireless;
  store.SaveProfile("B\374ro", saved);
  ASSERT_TRUE(store.ProfileExists("B\374RO"));
  ApplyOutcome outcome = Apply(store.LoadProfile("b\374ro"));
  EXPECT_EQ(outcome.netshExitCode, 0u) << outcome.netshOutput;
  EXPECT_TRUE(outcome.netshErrors.empty()) << outcome.netshOutput;
  EXPECT_NE(dir_.Read("host/network.ini").find("[" + bridge + "]"), std::string::npos);

  ReadBack();
  ASSERT_EQ(sink_.connections.size(), 3u);
  EXPECT_EQ(sink_.connections[0].LongLANDescription, "LAN-Verbindung 2");
  EXPECT_EQ(sink_.connections[1].LongLANDescription, wireless);
  EXPECT_TRUE(sink_.connections[1].DHCP);
  EXPECT_EQ(sink_.connections[2].LongLANDescription, bridge);
  EXPECT_EQ(sink_.connections[2].IP, "10.20.30.40");
  EXPECT_EQ(sink_.connections[2].DNS2, "10.20.30.3");

  // A console program writes the OEM code page: ü = 81 in code page 850.
  const std::string report = test::RunTool("ipconfig", "/all", platform_.root()).output;
  EXPECT_NE(report.find("Ethernet adapter Netzwerkbr\201cke:\r\n"), std::string::npos) << report;
  EXPECT_NE(report.find("Ethernet adapter " + wireless + ":\r\n"), std::string::npos);
  EXPECT_EQ(report.find('\xFC'), std::string::npos);
}

TEST_F(ApplyTest, StagesAreToldInOrderAndTheWindowIsRestored) {
  ProfileRecord p;
  p.LongLANDescription = "LAN-Verbindung";
  p.DHCP = kModeDhcp;
  Apply(p, false);
  EXPECT_EQ(observer_.rangeMin, 1);
  EXPECT_EQ(observer_.rangeMax, 5);
  ASSERT_EQ(observer_.stages.size(), 5u);
  const char* labels[] = {"Applying network settings",
                          "Processing proxy/ Outlook Express account settings",
                          "Processing Host file modification/ script execution",
                          "Processing default printer", "Processing computer name"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(observer_.stages[i].position, i + 1);
    EXPECT_EQ(observer_.stages[i].label, labels[i]);
    EXPECT_FALSE(observer_.stages[i].visible);  // hidden for the whole run
  }
  EXPECT_EQ(observer_.closed, 1);
  EXPECT_EQ(observer_.cursor, (std::vector<bool>{true, false}));
  EXPECT_EQ(observer_.browserNotices, 1);  // nothing included: still the closing notice
  TRegistry reg(platform_.registry(), platform::RootKey::CurrentUser);
  ASSERT_TRUE(reg.OpenKey(kInternetSettingsKey, false));
  EXPECT_EQ(reg.ReadInteger("ProxyEnable"), 0);  // the proxy is written at every apply
}

TEST_F(ApplyTest, MailClientWarningOnlyWithProxyOrMailIncluded) {
  dir_.Write("host/windows.txt", "Outlook Express Browser Class\n");
  ProfileRecord p;
  p.LongLANDescription = "LAN-Verbindung";
  Apply(p);
  EXPECT_TRUE(observer_.warnings.empty());
  EXPECT_EQ(observer_.browserNotices, 1);
  p.EnableProxy = true;
  Apply(p);
  ASSERT_EQ(observer_.warnings.size(), 1u);
  EXPECT_EQ(observer_.warnings[0], kMailClientWarning);
}

TEST_F(ApplyTest, RejectedScriptLinesAreReportedNotTakenForSuccess) {
  ProfileRecord p;
  p.LongLANDescription = "No Such Connection";
  p.IP = "10.0.0.300";
  ApplyOutcome outcome = Apply(p);
  EXPECT_TRUE(outcome.netshWaited);
  EXPECT_NE(outcome.netshExitCode, 0u);
  EXPECT_FALSE(outcome.netshErrors.empty());
  EXPECT_FALSE(outcome.NetshSucceeded());
  EXPECT_EQ(observer_.browserNotices, 1);  // the stages still ran to their end
}

TEST_F(ApplyTest, NetshThatCannotStartStopsTheSequenceAndLeavesNoScript) {
  netsh_.SetExeName("no-such-netsh");
  ProfileRecord p = test::TwoConnectionProfile();
  EXPECT_THROW(Apply(p), EAppExecWinExec);
  // The script went with the apply's scratch folder.
  EXPECT_FALSE(InProgramDir("tmp.txt"));
  EXPECT_TRUE(std::filesystem::is_empty(dir_.path() / "host" / "WINDOWS" / "Temp"));
  EXPECT_EQ(observer_.stages.size(), 1u);
  EXPECT_EQ(observer_.closed, 1);
  EXPECT_EQ(observer_.cursor, (std::vector<bool>{true, false}));
  EXPECT_EQ(observer_.browserNotices, 0);
  EXPECT_NE(ReadComputerName(platform_.registry()), "OFFICE-PC");
}

TEST_F(ApplyTest, LockedHostsFileDoesNotStopTheLaterStages) {
  platform_.system().WindowsDirectory();
  auto etc = dir_.path() / "host" / "WINDOWS" / "system32" / "drivers" / "etc";
  std::filesystem::create_directories(etc);
  std::filesystem::remove(etc / "hosts");
  std::filesystem::create_directory(etc / "hosts");
  ProfileRecord p = test::TwoConnectionProfile();
  ApplyOutcome outcome = Apply(p);
  EXPECT_FALSE(outcome.hostsError.empty());
  EXPECT_EQ(ReadComputerName(platform_.registry()), "OFFICE-PC");
  EXPECT_EQ(observer_.stages.size(), 5u);
}

TEST_F(ApplyTest, GetCurrentStopsWithTheHostsFileError) {
  platform_.system().WindowsDirectory();
  auto etc = dir_.path() / "host" / "WINDOWS" / "system32" / "drivers" / "etc";
  std::filesystem::create_directories(etc);
  std::filesystem::remove(etc / "hosts");
  std::filesystem::create_directory(etc / "hosts");  // no file to read
  try {
    ReadBack();
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_STREQ(e.what(), "Cannot open file C:\\WINDOWS\\system32\\drivers\\etc\\hosts");
  }
  // The connection table was parsed but never shown.
  EXPECT_EQ(sink_.calls.back(), "printer");
  EXPECT_TRUE(sink_.connections.empty());
}

// The apply session alone, without a window: checks, snapshot, stages, verify, Get Current
// after it, undo and history, on a simulated Windows XP and a Windows 10.
class ApplySessionTest : public ::testing::TestWithParam<const char*> {
 protected:
  ApplySessionTest() {
    for (TAppExec* exec : {&netsh_, &tempBat_}) {
      exec->SetWait(true);
      exec->SetWindowState(wsMinimized);
      exec->SetHideIfMinimized(true);
    }
    netsh_.SetExeName("netsh");
  }
  bool Windows10() const { return std::string(GetParam()) == "10"; }
  ReadContext Reading() {
    return ReadContext{platform_, programDir_, platform_.system().WindowsDirectory(), tempBat_};
  }
  ApplySession Session() {
    return ApplySession({platform_, programDir_ + "Lanvoy.exe",
                         platform_.system().WindowsDirectory(), netsh_, observer_,
                         [this] {
                           ReadContext ctx = Reading();
                           return ReadConnections(ctx);
                         },
                         std::chrono::milliseconds(0)});
  }
  std::string Machine() {
    return *ReadFileBytes(dir_.File("host/network.ini")) +
           *ReadFileBytes(dir_.File("host/registry.reg")) +
           *ReadFileBytes(dir_.File("host/WINDOWS/system32/drivers/etc/hosts"));
  }

  test::TempDir dir_;
  test::HostWindows hostWindows_{GetParam()};
  sim::SimPlatform platform_{dir_.path() / "host"};
  std::string programDir_ = (dir_.path() / "Program Files" / "Lanvoy").string() + "/";
  TAppExec netsh_{platform_.processes()};
  TAppExec tempBat_{platform_.processes()};
  test::RecordingObserver observer_;
};

INSTANTIATE_TEST_SUITE_P(Windows, ApplySessionTest, ::testing::Values("xp", "10"));

// The settings of Vista and later on both connections of two Wi-Fi adapters with IPv6: on
// Windows 10 applied, verified, read back by Get Current, undone; on XP a finding says they
// are not applied, and the machine's later settings stay as they were.
TEST_P(ApplySessionTest, LaterSettingsOnBothConnectionsApplyReadBackAndUndo) {
  std::filesystem::create_directories(programDir_);
  ReadContext reading = Reading();
  ReadConnections(reading);
  const auto stateFile = dir_.path() / "host" / standin::kNetworkStateFileName;
  standin::NetworkState state = standin::NetworkState::Load(stateFile);
  for (standin::ConnectionState& c : state.connections) {
    c.ipv6 = c.wireless = true;
    c.routerAddress = {"2001:db8:99::" + std::to_string(c.index), 64};
    c.routerGateway = "fe80::1";
    c.dhcpIpv6DnsServers = {"2001:db8:99::53"};
    c.wlanProfiles = {"B\xFCro-WLAN", "Gast"};
    c.dnsSuffix = "old.example";
  }
  state.connections[0].routerDiscovery = false;  // static IPv6 before
  state.connections[0].ipv6Addresses = {{"2001:db8:77::5", 64}};
  state.connections[0].ipv6Gateway = "2001:db8:77::1";
  state.connections[0].wlanConnected = "B\xFCro-WLAN";
  state.connections[1].wlanConnected = "Gast";
  state.Save(stateFile);
  const std::string before = Machine();

  ProfileRecord office = test::TwoConnectionProfile();
  office.IncludeOLExp = false;
  office.IPv6Mode = kIPv6Static;
  office.IPv6 = "2001:DB8:10::10", office.IPv6Prefix = "64";
  office.IPv6_2 = "2001:db8:20::10", office.IPv6Prefix2 = "48";
  office.IPv6Gateway = "2001:db8:10::1";
  office.IPv6DNS = "2001:db8:10::53", office.IPv6DNS2 = "2001:db8:10::54";
  office.DNSMore = "10.20.30.5;10.20.30.6";
  office.DNSSuffix = "buero.example.com";
  office.GatewayMetric = "25";
  office.WlanProfile = "Gast";
  office.AdapterState = kAdapterEnabled;
  office.DHCPLan2 = kModeStatic;
  office.IPLan2 = "10.40.0.7", office.SubnetLan2 = "255.255.0.0", office.GatewayLan2 = "10.40.0.1";
  office.DHCP_DNSLan2 = false, office.DNSLan2 = "10.40.0.53", office.DNS2Lan2 = "10.40.0.54";
  office.DNSMoreLan2 = "10.40.0.55";
  office.IPv6ModeLan2 = kIPv6Automatic;
  office.DHCP_IPv6DNSLan2 = true;
  office.DNSSuffixLan2 = "gast.example.com";
  office.GatewayMetricLan2 = "9999";
  office.WlanProfileLan2 = "B\xFCro-WLAN";
  office.AdapterStateLan2 = kAdapterEnabled;

  std::vector<Finding> asked;
  const ApplyReport applied = Session().Apply(office, "Office", false, [&](const auto& findings) {
    asked = findings;
    return true;
  });
  EXPECT_TRUE(applied.outcome.NetshSucceeded()) << applied.outcome.netshOutput;
  EXPECT_TRUE(applied.outcome.stageProblems.empty());
  EXPECT_TRUE(applied.differences.empty()) << applied.differences[0];
  std::vector<std::string> problems;
  ReadContext again = Reading();
  const ProfileRecord read = ReadCurrentRecord(again, problems);
  if (!Windows10()) {
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_NE(asked[0].message.find("not applied on this Windows"), std::string::npos);
    EXPECT_EQ(standin::NetworkState::Load(stateFile).connections[0].ipv6Addresses,
              state.connections[0].ipv6Addresses);
    return;
  }
  EXPECT_EQ(FindingsText(asked), "");
  // An adapter that is on reads as left alone.
  ProfileRecord expected = office;
  expected.AdapterState = expected.AdapterStateLan2 = kModeNone;
  for (int i = 0; i < kConnections; ++i)
    EXPECT_EQ(ConnectionOf(read, i), ConnectionOf(expected, i)) << "connection " << i + 1;

  const ApplyReport undone = Session().Undo(false);
  EXPECT_TRUE(undone.outcome.NetshSucceeded()) << undone.outcome.netshOutput;
  EXPECT_TRUE(undone.differences.empty()) << undone.differences[0];
  EXPECT_EQ(Machine(), before);
}

TEST_P(ApplySessionTest, AppliesVerifiesReadsBackUndoesAndWritesTheHistory) {
  std::filesystem::create_directories(programDir_);
  ReadContext reading = Reading();
  ReadConnections(reading);  // the stand-ins make the host's network state
  const std::string before = Machine();
  ProfileRecord bad = test::TwoConnectionProfile();
  bad.Gateway = "10.99.0.1";  // outside both subnets: an error
  std::vector<Finding> asked;
  const ApplyReport refused = Session().Apply(bad, "Bad", false, [&](const auto& findings) {
    asked = findings;
    return false;
  });
  EXPECT_TRUE(refused.refused);
  EXPECT_TRUE(HasErrors(asked));
  EXPECT_EQ(Machine(), before);

  // Every field of both connections: static with a second address, gateway, two DNS servers
  // and WINS; DHCP with static DNS servers. On Windows 10 no mail account takes the servers.
  ProfileRecord office = test::TwoConnectionProfile();
  office.DHCP_DNSLan2 = false;
  office.DNSLan2 = "10.40.0.53";
  office.DNS2Lan2 = "10.40.0.54";
  asked.clear();
  const ApplyReport applied = Session().Apply(office, "Office", false, [&](const auto& findings) {
    asked = findings;
    return true;
  });
  EXPECT_FALSE(applied.refused);
  EXPECT_EQ(FindingsText(asked),
            Windows10() ? "Warning: " + std::string(kNoMailAccountMessage) + "\r\n" : "");
  EXPECT_TRUE(applied.outcome.NetshSucceeded()) << applied.outcome.netshOutput;
  EXPECT_EQ(applied.outcome.stageProblems, Windows10()
                                               ? std::vector<std::string>{kNoMailAccountMessage}
                                               : std::vector<std::string>{});
  EXPECT_TRUE(applied.differences.empty()) << applied.differences[0];
  std::vector<std::string> problems;
  ReadContext again = Reading();
  const ProfileRecord read = ReadCurrentRecord(again, problems);
  for (int i = 0; i < kConnections; ++i)
    EXPECT_EQ(ConnectionOf(read, i), ConnectionOf(office, i)) << "connection " << i + 1;
  EXPECT_EQ(read.HostName, "OFFICE-PC");
  EXPECT_EQ(read.Proxy + ":" + read.ProxyPort, "cache.office:3128");

  const ApplyReport undone = Session().Undo(false);
  EXPECT_TRUE(undone.outcome.NetshSucceeded()) << undone.outcome.netshOutput;
  EXPECT_TRUE(undone.differences.empty()) << undone.differences[0];
  EXPECT_EQ(Machine(), before);
  Session().Kept();

  // Each start before its first change, each outcome after; a warning accepted is named.
  const std::vector<std::string> history = Session().History().Lines();
  const std::string outcome = Windows10() ? "apply Office: applied despite findings: This computer "
                                            "has no default account of Outlook Express"
                                          : "apply Office: verified";
  const std::vector<std::string> expected = {
      "apply Bad refused by the checks: LAN-Verbindung: the gateway",
      "apply Office started",
      outcome,
      "undo Office of ",
      ": restored",
      "  kept"};
  ASSERT_EQ(history.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_NE(history[i].find(expected[i]), std::string::npos) << history[i];
  // The undo's own snapshot took the place of the one it put back.
  ASSERT_EQ(Session().Snapshots().All().size(), 1u);
  EXPECT_EQ(Session().Snapshots().All()[0].profile, "undo of Office");
}

// An undo puts back every setting of both connections, a cleared one as cleared: each field
// from cleared to set (the undo) and from set to cleared (the undo of that undo).
TEST_P(ApplySessionTest, UndoPutsBackEachFieldSetOrCleared) {
  std::filesystem::create_directories(programDir_);
  ReadContext reading = Reading();
  ReadConnections(reading);
  using Change = std::function<void(ConnectionSettings&, const std::string& net)>;
  const struct {
    const char* field;
    Change cleared, set;
  } cases[] = {
      {"IP2", nullptr,
       [](auto& c, auto& net) {
         c.IP2 = net + ".31.40";
         c.Subnet2 = "255.255.0.0";
       }},
      {"Gateway", nullptr, [](auto& c, auto& net) { c.Gateway = net + ".30.1"; }},
      {"DNS", nullptr, [](auto& c, auto& net) { c.DNS = net + ".30.2"; }},
      {"DNS2", [](auto& c, auto& net) { c.DNS = net + ".30.2"; },
       [](auto& c, auto& net) {
         c.DNS = net + ".30.2";
         c.DNS2 = net + ".30.3";
       }},
      {"WINS", nullptr, [](auto& c, auto& net) { c.WINS = net + ".30.4"; }},
      {"DHCP", nullptr, [](auto& c, auto&) { c.DHCP = kModeDhcp; }},
      {"DHCP_DNS", [](auto& c, auto& net) { c.DHCP = kModeDhcp, c.DNS = net + ".30.2"; },
       [](auto& c, auto&) { c.DHCP = kModeDhcp, c.DHCP_DNS = true; }},
      {"DHCP_WINS", [](auto& c, auto& net) { c.DHCP = kModeDhcp, c.WINS = net + ".30.4"; },
       [](auto& c, auto&) { c.DHCP = kModeDhcp, c.DHCP_WINS = true; }},
  };
  auto profile = [](const Change& change) {
    ProfileRecord p;
    const char* names[] = {"LAN-Verbindung", "WLAN"};
    for (int i = 0; i < kConnections; ++i) {
      const std::string net = "10." + std::to_string(20 + i);
      ConnectionSettings c;
      c.LongLANDescription = names[i];
      c.IP = net + ".30.40";
      c.Subnet = "255.255.255.0";
      if (change) change(c, net);
      SetConnection(p, i, c);
    }
    return p;
  };
  for (const auto& c : cases) {
    std::vector<std::string> states;  // cleared, set
    for (const Change& change : {c.cleared, c.set}) {
      const ApplyReport applied =
          Session().Apply(profile(change), "Profile", false, [](auto&) { return true; });
      EXPECT_TRUE(applied.outcome.NetshSucceeded()) << c.field << applied.outcome.netshOutput;
      EXPECT_EQ(applied.differences, std::vector<std::string>{}) << c.field;
      states.push_back(Machine());
    }
    const std::string &cleared = states[0], &set = states[1];
    EXPECT_NE(set, cleared) << c.field;
    for (const std::string* expected : {&cleared, &set}) {
      const ApplyReport undone = Session().Undo(false);
      EXPECT_TRUE(undone.outcome.NetshSucceeded()) << c.field << undone.outcome.netshOutput;
      EXPECT_EQ(undone.differences, std::vector<std::string>{}) << c.field;
      EXPECT_EQ(Machine(), *expected) << c.field;
    }
  }
}

// A technician tried three profiles and wants the machine as it was before them: the state
// before any kept apply comes back, part by part from the snapshots that hold it; a plain
// undo then takes the machine back to where it was before; what cannot be put back whole
// leaves the undo file as it was, and what is not kept is refused.
TEST_P(ApplySessionTest, GoesBackToTheStateBeforeAnyKeptApply) {
  std::filesystem::create_directories(programDir_);
  ReadContext reading = Reading();
  ReadConnections(reading);
  // A third connection, which only the first profile touches.
  AppendToFile(dir_.File("host/network.ini"),
               "[LAN-Verbindung 2]\r\nMode=dhcp\r\nDnsSource=dhcp\r\nWinsSource=dhcp\r\n");
  auto state = [&] {
    ReadContext ctx = Reading();
    std::string text = *ReadFileBytes(dir_.File("host/registry.reg")) + "|" +
                       ReadFileBytes(dir_.File("host/WINDOWS/system32/drivers/etc/hosts"))
                           .value_or("no hosts file");
    for (const TNetworkInfo& c : ReadConnections(ctx))
      text += "|" + c.LongLANDescription + " " + (c.DHCP == kModeDhcp ? "dhcp " : "") + c.IP + " " +
              c.Gateway + " " + c.DNS + " " + c.GatewayMetric;
    return text;
  };
  auto connection = [](const char* name, const char* ip) {
    ConnectionSettings c;
    c.LongLANDescription = name;
    c.IP = ip;
    c.Subnet = "255.255.255.0";
    c.Gateway = std::string(ip).substr(0, std::string(ip).rfind('.')) + ".1";
    c.DNS = c.Gateway;
    return c;
  };
  ProfileRecord buero, zuhause, kunde;
  SetConnection(buero, 0, connection("LAN-Verbindung", "10.1.1.5"));
  SetConnection(buero, 1, connection("LAN-Verbindung 2", "10.7.7.5"));
  buero.Proxy = "cache.buero";
  buero.ProxyPort = "3128";
  buero.EnableProxy = true;
  buero.IncludeHostModification = true;
  buero.Hosts = {{"akten", "10.1.1.9", ""}};
  SetConnection(zuhause, 0, connection("WLAN", "10.2.2.5"));
  zuhause.IncludeHostName = true;
  zuhause.HostName = "ZUHAUSE-PC";
  SetConnection(kunde, 0, connection("LAN-Verbindung", "10.3.3.5"));
  kunde.Proxy = "cache.kunde";
  kunde.ProxyPort = "8080";
  std::vector<std::string> states{state()};
  for (const auto& [profile, name] :
       {std::pair{&buero, "B\xFCro"}, {&zuhause, "Zuhause"}, {&kunde, "Kunde"}}) {
    const ApplyReport applied =
        Session().Apply(*profile, name, false, [](const auto&) { return true; });
    EXPECT_EQ(applied.differences, std::vector<std::string>{}) << name;
    states.push_back(state());
    EXPECT_NE(states.back(), states[states.size() - 2]) << name;
  }
  const std::string undoFile = Session().Snapshots().Path();
  auto undo = [&](size_t back) { return Session().Undo(false, back); };

  try {
    undo(4);
    ADD_FAILURE() << "undone";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(),
                 "Only 3 applies are kept, so there is none 4 back to undo; nothing was changed.");
  }
  EXPECT_EQ(state(), states[3]);

  EXPECT_EQ(undo(2).differences, std::vector<std::string>{});
  EXPECT_EQ(state(), states[1]);
  EXPECT_EQ(undo(1).differences, std::vector<std::string>{});  // the go-back undone
  EXPECT_EQ(state(), states[3]);
  // Undone again: going back past this undo below must reach what was before its applies,
  // not what the undo found.
  EXPECT_EQ(undo(1).differences, std::vector<std::string>{});
  EXPECT_EQ(state(), states[1]);

  // The hosts file, which only the first profile touched, cannot be written.
  const std::filesystem::path hosts = dir_.path() / "host/WINDOWS/system32/drivers/etc/hosts";
  std::filesystem::remove(hosts);
  std::filesystem::create_directory(hosts);
  const std::string beforeFailure = *ReadFileBytes(undoFile);
  EXPECT_FALSE(undo(2).outcome.hostsError.empty());
  EXPECT_EQ(*ReadFileBytes(undoFile), beforeFailure);
  std::filesystem::remove(hosts);
  EXPECT_EQ(undo(2).differences, std::vector<std::string>{});
  EXPECT_EQ(state(), states[0]);
  ASSERT_EQ(Session().Snapshots().All().size(), 1u);
  EXPECT_EQ(Session().Snapshots().All()[0].profile, "undo of B\xFCro and the 1 apply after it");

  std::vector<std::string> undos;
  for (const std::string& line : Session().History().Lines())
    if (line.find("  undo ") != std::string::npos && line.find(" started") == std::string::npos)
      undos.push_back(line);
  const std::pair<const char*, const char*> expected[] = {
      {"undo Zuhause of ", " and the 1 apply after it: restored"},
      {"undo undo of Zuhause and the 1 apply after it of ", ": restored"},
      {"undo undo of undo of Zuhause and the 1 apply after it of ", ": restored"},
      {"undo B\xFCro of ", " and the 1 apply after it: not in place, the snapshots are kept"},
      {"undo B\xFCro of ", " and the 1 apply after it: restored"}};
  ASSERT_EQ(undos.size(), std::size(expected));
  for (size_t i = 0; i < undos.size(); ++i) {
    EXPECT_NE(undos[i].find(expected[i].first), std::string::npos) << undos[i];
    EXPECT_NE(undos[i].find(expected[i].second), std::string::npos) << undos[i];
  }
}

TEST(WaitForKeepTest, KeepWithinTheTimeOrNotAtAll) {
  struct FakeClock : Clock {
    std::chrono::steady_clock::time_point now{};
    std::function<void()> onSleep;
    std::chrono::steady_clock::time_point Now() override { return now; }
    void Sleep(std::chrono::milliseconds d) override {
      now += d;
      if (onSleep) onSleep();
    }
  };
  test::TempDir dir;
  const std::string keep = dir.File("Lanvoy.keep");
  FakeClock clock;
  EXPECT_FALSE(WaitForKeep(keep, std::chrono::seconds(60), clock));
  EXPECT_EQ(clock.now.time_since_epoch(), std::chrono::seconds(60));

  clock.onSleep = [&] {
    if (clock.now.time_since_epoch() >= std::chrono::seconds(59)) dir.Write("Lanvoy.keep", "");
  };
  EXPECT_TRUE(WaitForKeep(keep, std::chrono::seconds(60), clock));
  EXPECT_FALSE(FileExists(keep));  // an answer counts once
}

}  // namespace
}  // namespace lanvoy
