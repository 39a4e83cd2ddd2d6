// The netsh stand-in on a Windows 10 host: the "interface ipv4" context of Windows 10's netsh
// and its dump, against real dumps of Windows.
#include <gtest/gtest.h>

#include "base/strings.h"
#include "standin/netsh_dump.h"
#include "standin/netsh_script.h"
#include "test_support/real_netsh_dumps.h"

namespace lanvoy::standin {
namespace {

// A connection's settings as one line: mode, addresses, gateway/metric, DNS and WINS servers.
std::string Summary(const ConnectionState& c) {
  std::string s = c.dhcp ? "dhcp" : "static";
  for (const auto& a : c.addresses) s += " " + a.address + "/" + a.mask;
  s += " gw=" + c.gateway + "/" + std::to_string(c.gatewayMetric) + " dns=";
  s += c.dnsFromDhcp ? "dhcp" : JoinLines(c.dnsServers);
  s += " wins=";
  s += c.winsFromDhcp ? "dhcp" : JoinLines(c.winsServers);
  return ReplaceAll(s, "\r\n", ",");
}

TEST(NetshWindows10, LinesAreTakenOrRefusedAsWindows10sNetshDoes) {
  const std::string lan = "static 192.168.1.10/255.255.255.0 gw=192.168.1.1/0";
  const std::string lanServers = " dns=192.168.1.1,192.168.1.2, wins=";
  struct Case {
    std::string context;
    std::string line;
    std::string connection;
    std::string after;    // Summary() of the connection after the line
    std::string refusal;  // the start of the message; "" when the line is taken
  };
  const std::string ipv4 = "interface ipv4";
  const Case cases[] = {
      // A static address replaces every address and the gateway that was not given again.
      {ipv4, "set address name=\"LAN-Verbindung\" source=static address=10.0.0.2 mask=255.0.0.0",
       "LAN-Verbindung", "static 10.0.0.2/255.0.0.0 gw=/0" + lanServers, ""},
      {ipv4, "set address WLAN static 10.0.0.2 255.0.0.0 10.0.0.1 5", "WLAN",
       "static 10.0.0.2/255.0.0.0 gw=10.0.0.1/5 dns=dhcp wins=dhcp", ""},
      // Tags shortened to a prefix of one tag only; a prefix length for the mask; the name in
      // other letters, or the interface index.
      {ipv4, "set addr name=lan-verbindung so=static addr=10.0.0.3/16 gat=none", "LAN-Verbindung",
       "static 10.0.0.3/255.255.0.0 gw=/0" + lanServers, ""},
      {ipv4, "set address name=12 source=dhcp", "LAN-Verbindung", "dhcp gw=/0" + lanServers, ""},
      {"interface ip", "set address name=17 static 10.0.0.4 255.0.0.0", "WLAN",
       "static 10.0.0.4/255.0.0.0 gw=/0 dns=dhcp wins=dhcp", ""},
      {"", "interface ip set address \"WLAN\" dhcp", "WLAN", "dhcp gw=/0 dns=dhcp wins=dhcp", ""},
      {ipv4, "set address name=LAN-Verbindung gateway=10.0.0.1 gwmetric=1", "LAN-Verbindung",
       lan + lanServers, "One or more essential parameters were not entered.\r\n"},
      {ipv4, "set address name=\"Ethernet 7\" source=dhcp", "LAN-Verbindung", lan + lanServers,
       "The filename, directory name, or volume label syntax is incorrect.\r\n"},
      {ipv4, "set address name=99 source=dhcp", "LAN-Verbindung", lan + lanServers,
       "The filename, directory name, or volume label syntax is incorrect.\r\n"},
      {ipv4, "set address name=WLAN s=static address=10.0.0.2 mask=255.0.0.0", "WLAN",
       "dhcp gw=/0 dns=dhcp wins=dhcp", "The syntax supplied for this command is not valid."},
      {ipv4, "set address name=WLAN source=static address=10.0.0.300 mask=255.0.0.0", "WLAN",
       "dhcp gw=/0 dns=dhcp wins=dhcp", "Invalid address parameter (10.0.0.300).\r\n"},
      // An added address turns DHCP off.
      {ipv4, "add address name=WLAN address=10.0.0.8 mask=255.0.0.0 gateway=10.0.0.1 gwmetric=2",
       "WLAN", "static 10.0.0.8/255.0.0.0 gw=10.0.0.1/2 dns=dhcp wins=dhcp", ""},
      {ipv4, "add address 12 10.0.0.9 255.0.0.0", "LAN-Verbindung",
       "static 192.168.1.10/255.255.255.0 10.0.0.9/255.0.0.0 gw=192.168.1.1/0" + lanServers, ""},
      {ipv4, "add address LAN-Verbindung 192.168.1.10 255.255.255.0", "LAN-Verbindung",
       lan + lanServers, "The object already exists.\r\n"},
      // DNS: "dns" is short for "dnsservers"; validate=yes takes the server as it is.
      {ipv4,
       "set dnsservers name=WLAN source=static address=10.0.0.53 register=primary validate=no",
       "WLAN", "dhcp gw=/0 dns=10.0.0.53, wins=dhcp", ""},
      {ipv4, "set dns WLAN static 10.0.0.53 both yes", "WLAN",
       "dhcp gw=/0 dns=10.0.0.53, wins=dhcp", ""},
      {ipv4, "set dnsservers LAN-Verbindung static none", "LAN-Verbindung",
       lan + " dns= wins=", ""},
      {ipv4, "set dnsservers name=LAN-Verbindung source=dhcp", "LAN-Verbindung",
       lan + " dns=dhcp wins=", ""},
      {ipv4, "add dnsservers name=LAN-Verbindung address=10.0.0.54 index=1", "LAN-Verbindung",
       lan + " dns=10.0.0.54,192.168.1.1,192.168.1.2, wins=", ""},
      {ipv4, "add dns name=WLAN addr=10.0.0.54 validate=no", "WLAN",
       "dhcp gw=/0 dns=10.0.0.54, wins=dhcp", ""},
      {ipv4, "add dnsservers name=LAN-Verbindung address=192.168.1.2", "LAN-Verbindung",
       lan + lanServers, "The object is already in the list.\r\n"},
      {ipv4, "set dnsservers LAN-Verbindung static 10.0.0.53 validate=maybe", "LAN-Verbindung",
       lan + lanServers, "'maybe' is not an acceptable value for validate.\r\n"},
      // WINS, "wins" short for "winsservers".
      {ipv4, "set winsservers name=WLAN source=static address=10.0.0.99", "WLAN",
       "dhcp gw=/0 dns=dhcp wins=10.0.0.99,", ""},
      {ipv4, "set wins WLAN static none", "WLAN", "dhcp gw=/0 dns=dhcp wins=", ""},
      {ipv4, "add winsservers name=LAN-Verbindung address=10.0.0.98", "LAN-Verbindung",
       lan + " dns=192.168.1.1,192.168.1.2, wins=10.0.0.98,", ""},
      {ipv4, "add wins name=WLAN address=10.0.0.98 index=1", "WLAN",
       "dhcp gw=/0 dns=dhcp wins=10.0.0.98,", ""},
      {ipv4, "set winsservers name=WLAN source=dhcp address=10.0.0.1", "WLAN",
       "dhcp gw=/0 dns=dhcp wins=dhcp", "The syntax supplied for this command is not valid."},
      // Windows 10's interface context has no "reset all"; IPv6 is there, but nothing of it is
      // modelled.
      {"interface", "reset all", "WLAN", "dhcp gw=/0 dns=dhcp wins=dhcp",
       "The following command was not found: reset all.\r\n"},
      {"interface ipv6", "set address name=WLAN source=dhcp", "WLAN",
       "dhcp gw=/0 dns=dhcp wins=dhcp", "The following command was not found: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.context + "> " + c.line);
    NetworkState state = NetworkState::Default();
    NetshInterpreter netsh(state, NetshVersion::kWindows10);
    ASSERT_TRUE(netsh.SetContext(c.context));
    EXPECT_EQ(netsh.Execute(c.line), c.refusal.empty());
    // Nothing is printed for a line taken.
    EXPECT_EQ(netsh.output().substr(0, c.refusal.size()), c.refusal);
    EXPECT_EQ(netsh.output().empty(), c.refusal.empty()) << netsh.output();
    EXPECT_EQ(netsh.changed(), c.refusal.empty());
    EXPECT_EQ(Summary(*state.Find(c.connection)), c.after);
  }
}

ConnectionState Static(const std::string& name, std::vector<AddressEntry> addresses,
                       const std::string& gateway = "") {
  ConnectionState c;
  c.name = name;
  c.addresses = std::move(addresses);
  c.gateway = gateway;
  return c;
}

ConnectionState Dhcp(const std::string& name) {
  ConnectionState c;
  c.name = name;
  c.dhcp = c.dnsFromDhcp = c.winsFromDhcp = true;
  c.dhcpLease = {"10.9.9.9", "255.0.0.0"};
  c.dhcpGateway = "10.9.9.1";
  return c;
}

TEST(NetshWindows10, DumpOfTheMachineOfARealDumpIsThatDump) {
  // The machine of the Windows 10 sample: its static addresses and DHCP adapters, whose
  // addresses (and every DNS and WINS server) its dump leaves out.
  NetworkState machine;
  machine.connections = {
      Static("VirtualBox Host-Only Network", {{"192.168.53.1", "255.255.255.0"}}),
      Dhcp("Ethernet"),
      Dhcp("Npcap Loopback Adapter"),
      Dhcp("Wi-Fi 2"),
      Dhcp("Local Area Connection* 1"),
      Static("Local Area Connection* 3", {{"192.168.137.1", "255.255.255.0"}}),
      Dhcp("Ethernet 2"),
      Dhcp("WiFi"),
      Dhcp("WiFi 2"),
      Dhcp("Ethernet 3"),
      Dhcp("Local Area Connection* 12"),
      Dhcp("Local Area Connection* 13"),
      Static("vEthernet (Default Switch)", {{"172.17.215.193", "255.255.255.240"}}),
  };
  machine.connections[0].dnsServers = {"192.168.53.53"};
  machine.connections[0].winsServers = {"192.168.53.54"};
  const std::string_view sample = test::RealDumpBytes("windows10-en-interface-dump.txt");
  ASSERT_FALSE(sample.empty());
  EXPECT_EQ(Windows10InterfaceDump(machine), sample);

  // The gateways of the Server 2019 sample: default routes after "set global", before the
  // interfaces. Its dump ends after the addresses; it holds what the simulation cannot have:
  // "set global" without values, a route to another network, a blank at a line's end.
  machine.connections = {
      Dhcp("Ethernet (Kernel Debugger)"),
      Dhcp("Ethernet0"),
      Static("vEthernet (nat)", {{"172.25.208.1", "255.255.240.0"}}),
      Static("vEthernet (fe83824bf7b9e39)", {{"172.19.48.1", "255.255.240.0"}}),
      Static(
          "vEthernet (HNS Internal NIC)",
          {{"100.2.2.246", "255.0.0.0"}, {"100.2.2.1", "255.0.0.0"}, {"100.2.2.10", "255.0.0.0"}}),
      Static("vEthernet (Ethernet) 2", {{"172.19.56.17", "255.255.240.0"}}, "172.19.48.1"),
      Static("br-int", {{"10.0.0.44", "255.255.255.0"}}, "10.0.0.1"),
      Static("antrea-gw0", {{"100.1.2.1", "255.255.255.0"}}),
      Static("vEthernet (Ethernet)", {{"172.19.48.93", "255.255.240.0"}}, "172.19.48.1"),
  };
  std::vector<std::string> expected;
  for (const auto& line : SplitLines(test::RealDumpBytes("windows-server-2019-ipv4-dump.txt"))) {
    if (line.starts_with("add route prefix=100.1.1.0/24")) continue;
    expected.push_back(line == "set global" ? "set global icmpredirects=enabled" : Trim(line));
  }
  ASSERT_EQ(expected.size(), 28u);
  std::vector<std::string> dumped = SplitLines(Windows10Ipv4Dump(machine));
  ASSERT_GT(dumped.size(), expected.size());
  dumped.resize(expected.size());
  EXPECT_EQ(dumped, expected);
}

TEST(NetshWindows10, DumpCommandsOfTheContexts) {
  NetworkState state = NetworkState::Default();
  NetshInterpreter netsh(state, NetshVersion::kWindows10);
  ASSERT_TRUE(netsh.Execute("interface dump"));
  EXPECT_EQ(netsh.output(), Windows10InterfaceDump(state));
  NetshInterpreter ipv4(state, NetshVersion::kWindows10);
  ASSERT_TRUE(ipv4.SetContext("interface ipv4"));
  ASSERT_TRUE(ipv4.Execute("dump"));
  EXPECT_EQ(ipv4.output(), Windows10Ipv4Dump(state));
  // The default machine's LAN: its route and address; the DHCP WLAN only as an interface.
  for (const char* line :
       {"add route prefix=0.0.0.0/0 interface=\"LAN-Verbindung\" nexthop=192.168.1.1 publish=Yes",
        "add address name=\"LAN-Verbindung\" address=192.168.1.10 mask=255.255.255.0",
        "set interface interface=\"WLAN\" forwarding=enabled advertise=enabled nud=enabled "
        "ignoredefaultroutes=disabled"})
    EXPECT_NE(ipv4.output().find(std::string(line) + "\r\n"), std::string::npos) << line;
  EXPECT_EQ(ipv4.output().find("WLAN\" address"), std::string::npos);
  state.connections[0].gatewayMetric = 3;
  EXPECT_NE(Windows10Ipv4Dump(state).find("nexthop=192.168.1.1 metric=3 publish=Yes\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace lanvoy::standin
