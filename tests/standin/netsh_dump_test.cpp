#include "standin/netsh_dump.h"

#include <gtest/gtest.h>

#include "base/strings.h"

namespace lanvoy::standin {
namespace {

std::vector<std::string> LinesOf(const std::string& dump) {
  // Every line ends in CR LF; a bare LF or CR would show up as a line holding it.
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < dump.size()) {
    std::size_t end = dump.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "last line without CR LF";
    if (end == std::string::npos) end = dump.size();
    lines.push_back(dump.substr(start, end - start));
    EXPECT_EQ(lines.back().find_first_of("\r\n"), std::string::npos) << lines.back();
    start = end + 2;
  }
  return lines;
}

// The dump's lines that are not comments or empty, in order.
std::vector<std::string> Commands(const std::string& dump) {
  std::vector<std::string> out;
  for (auto& line : LinesOf(dump))
    if (!line.empty() && line[0] != '#') out.push_back(line);
  return out;
}

TEST(NetshDump, DefaultMachineInTheFormNetshPrints) {
  const std::string dump = InterfaceDump(NetworkState::Default());
  EXPECT_EQ(Commands(dump),
            (std::vector<std::string>{
                "pushd interface",
                "reset all",
                "popd",
                "pushd interface ip",
                "set address name=\"LAN-Verbindung\" source=static "
                "addr=192.168.1.10 mask=255.255.255.0",
                "set address name=\"LAN-Verbindung\" gateway=192.168.1.1 gwmetric=0",
                "set dns name=\"LAN-Verbindung\" source=static addr=192.168.1.1 "
                "register=PRIMARY",
                "add dns name=\"LAN-Verbindung\" addr=192.168.1.2",
                "set wins name=\"LAN-Verbindung\" source=static addr=none",
                "set address name=\"WLAN\" source=dhcp",
                "set dns name=\"WLAN\" source=dhcp register=PRIMARY",
                "set wins name=\"WLAN\" source=dhcp",
                "popd",
            }));
  const auto lines = LinesOf(dump);
  EXPECT_NE(
      std::find(lines.begin(), lines.end(), "# Interface IP Configuration for \"LAN-Verbindung\""),
      lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "# Interface IP Configuration for \"WLAN\""),
            lines.end());
  auto last = std::find_if(lines.rbegin(), lines.rend(), [](auto& l) { return !l.empty(); });
  ASSERT_NE(last, lines.rend());
  EXPECT_EQ(*last, "# End of interface IP configuration");
}

TEST(NetshDump, FurtherAddressesAndServersAndEmptyLists) {
  NetworkState state;
  ConnectionState c;
  c.name = "Local Area Connection 2";
  c.addresses = {
      {"10.0.0.1", "255.0.0.0"}, {"10.1.0.1", "255.255.0.0"}, {"10.2.0.1", "255.255.0.0"}};
  c.dnsServers = {};
  c.winsServers = {"10.0.0.99"};
  state.connections = {c};
  const auto commands = Commands(InterfaceIpDump(state));
  EXPECT_EQ(commands,
            (std::vector<std::string>{
                "pushd interface ip",
                "set address name=\"Local Area Connection 2\" source=static "
                "addr=10.0.0.1 mask=255.0.0.0",
                "add address name=\"Local Area Connection 2\" addr=10.1.0.1 mask=255.255.0.0",
                "add address name=\"Local Area Connection 2\" addr=10.2.0.1 mask=255.255.0.0",
                "set dns name=\"Local Area Connection 2\" source=static addr=none "
                "register=PRIMARY",
                "set wins name=\"Local Area Connection 2\" source=static addr=10.0.0.99",
                "popd",
            }));
}

}  // namespace
}  // namespace lanvoy::standin
