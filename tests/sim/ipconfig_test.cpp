#include <gtest/gtest.h>

#include "base/strings.h"
#include "platform/sim/sim_platform.h"
#include "sim/netsh_test_support.h"
#include "standin/netsh_script.h"
#include "standin/network_state.h"
#include "test_support/temp_dir.h"

namespace lanvoy::sim {
namespace {

using standin::IpconfigAllReport;
using standin::NetshInterpreter;
using standin::NetworkState;

// The report's lines; every one must end in CR LF.
std::vector<std::string> ReportLines(const std::string& report) {
  EXPECT_EQ(report.substr(report.size() - 2), "\r\n");
  EXPECT_EQ(ReplaceAll(report, "\r\n", "").find_first_of("\r\n"), std::string::npos);
  return SplitLines(report);
}

// The lines of one adapter's section, without its heading and the empty line after it.
std::vector<std::string> Section(const std::vector<std::string>& lines, const std::string& name) {
  std::vector<std::string> section;
  auto at = std::find(lines.begin(), lines.end(), "Ethernet adapter " + name + ":");
  if (at == lines.end() || ++at == lines.end()) return section;
  for (++at; at != lines.end() && !at->empty(); ++at) section.push_back(*at);
  return section;
}

std::string Row(const std::string& label, const std::string& value) {
  std::string row = "        " + label;
  for (std::size_t p = label.size(); p < 33; ++p) row += p % 2 == 0 ? '.' : ' ';
  return row + " : " + value;
}

TEST(Ipconfig, ReportShowsHostAndEveryConnectionOfTheDefaultMachine) {
  const auto lines = ReportLines(IpconfigAllReport(NetworkState::Default(), "BUERO-PC"));
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[1], "Windows IP Configuration");
  EXPECT_EQ(lines[3], "        Host Name . . . . . . . . . . . . : BUERO-PC");
  EXPECT_EQ(Section(lines, "LAN-Verbindung"),
            (std::vector<std::string>{
                Row("Connection-specific DNS Suffix", ""),
                Row("Description", "Realtek RTL8139 Family PCI Fast Ethernet NIC"),
                Row("Physical Address", "00-0C-29-4F-8E-35"),
                Row("Dhcp Enabled", "No"),
                Row("IP Address", "192.168.1.10"),
                Row("Subnet Mask", "255.255.255.0"),
                Row("Default Gateway", "192.168.1.1"),
                Row("DNS Servers", "192.168.1.1"),
                "                                            192.168.1.2",
            }));
  const auto wlan = Section(lines, "WLAN");
  EXPECT_NE(std::find(wlan.begin(), wlan.end(), Row("Dhcp Enabled", "Yes")), wlan.end());
  // In DHCP mode the leased address and the DHCP server show.
  EXPECT_NE(std::find(wlan.begin(), wlan.end(), Row("IP Address", "192.168.0.105")), wlan.end());
  EXPECT_NE(std::find(wlan.begin(), wlan.end(), Row("DHCP Server", "192.168.0.1")), wlan.end());
}

TEST(Ipconfig, ReportFollowsWhatNetshSet) {
  NetworkState state = NetworkState::Default();
  NetshInterpreter netsh(state);
  ASSERT_TRUE(
      netsh.RunScript("pushd interface ip\n"
                      "set address name = \"LAN-Verbindung\" Source = dhcp\n"
                      "set dns name = \"LAN-Verbindung\" source = static addr = 10.0.0.53\n"
                      "set address name = \"WLAN\" static addr = 10.0.0.5 mask = 255.0.0.0\n"
                      "add address name = \"WLAN\" addr = 172.16.0.5 mask = 255.255.0.0\n"
                      "set wins name =  \"WLAN\" source = static addr = 10.0.0.99\n"
                      "popd\n"))
      << netsh.output();
  const auto lines = ReportLines(IpconfigAllReport(state, "PC"));
  const auto lan = Section(lines, "LAN-Verbindung");
  EXPECT_NE(std::find(lan.begin(), lan.end(), Row("IP Address", "192.168.1.57")), lan.end());
  EXPECT_NE(std::find(lan.begin(), lan.end(), Row("DNS Servers", "10.0.0.53")), lan.end());
  EXPECT_EQ(std::find(lan.begin(), lan.end(), Row("IP Address", "192.168.1.10")), lan.end());

  const auto wlan = Section(lines, "WLAN");
  const std::vector<std::string> addresses(wlan.begin() + 4, wlan.begin() + 9);
  EXPECT_EQ(addresses, (std::vector<std::string>{
                           Row("IP Address", "10.0.0.5"),
                           Row("Subnet Mask", "255.0.0.0"),
                           Row("IP Address", "172.16.0.5"),
                           Row("Subnet Mask", "255.255.0.0"),
                           Row("Default Gateway", ""),
                       }));
  EXPECT_EQ(std::find(wlan.begin(), wlan.end(), Row("DHCP Server", "192.168.0.1")), wlan.end());
  EXPECT_EQ(wlan.back(), Row("Primary WINS Server", "10.0.0.99"));
}

TEST(Ipconfig, BuiltProgramReportsTheRegistrysComputerNameAndTheState) {
  test::TempDir host;
  {
    SimPlatform platform(host.path());
    auto key = platform.registry().Open(
        platform::RootKey::LocalMachine,
        "\\System\\CurrentControlSet\\Control\\ComputerName\\ComputerName", true);
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->SetString("ComputerName", "WERKSTATT-7"));
  }
  host.Write("set.txt",
             "pushd interface ip\r\nset wins name = \"LAN-Verbindung\" source = static "
             "addr = 192.168.1.3\r\npopd\r\n");
  ASSERT_EQ(test::RunTool("netsh", "-f '" + host.File("set.txt") + "'", host.path()).exitCode, 0);

  auto run = test::RunTool("ipconfig", "/all", host.path());
  EXPECT_EQ(run.exitCode, 0);
  const auto lines = ReportLines(run.output);
  EXPECT_NE(std::find(lines.begin(), lines.end(), Row("Host Name", "WERKSTATT-7")), lines.end())
      << run.output;
  const auto lan = Section(lines, "LAN-Verbindung");
  ASSERT_FALSE(lan.empty());
  EXPECT_EQ(lan.back(), Row("Primary WINS Server", "192.168.1.3"));

  run = test::RunTool("ipconfig", "/renew", host.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("USAGE:"), std::string::npos);
  EXPECT_EQ(test::RunTool("ipconfig", "", host.path()).exitCode, 1);
  EXPECT_EQ(test::RunTool("ipconfig", "'/?'", host.path()).exitCode, 0);
}

}  // namespace
}  // namespace lanvoy::sim
