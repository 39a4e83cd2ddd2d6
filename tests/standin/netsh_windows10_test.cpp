// The netsh stand-in on a Windows 10 host: the "interface ipv4" context of Windows 10's netsh
// and its dump, against real dumps of Windows.
#include <gtest/gtest.h>

#include <tuple>

#include "base/strings.h"
#include "standin/netsh_dump.h"
#include "standin/netsh_script.h"
#include "test_support/real_netsh_dumps.h"

namespace lanvoy::standin {
namespace {

std::string List(bool fromDhcp, const std::vector<std::string>& servers) {
  return fromDhcp ? "dhcp" : ReplaceAll(Trim(JoinLines(servers)), "\r\n", ",");
}

// The connections that differ from the default machine's, as "name: mode addresses
// gw=gateway/metric dns=servers wins=servers".
std::string Changes(const NetworkState& state) {
  const NetworkState before = NetworkState::Default();
  std::string out;
  for (std::size_t i = 0; i < state.connections.size(); ++i) {
    const ConnectionState& c = state.connections[i];
    if (c == before.connections[i]) continue;
    out += c.name + ": " + (c.dhcp ? "dhcp" : "static");
    for (const auto& a : c.addresses) out += " " + a.address + "/" + a.mask;
    out += " gw=" + c.gateway + "/" + std::to_string(c.gatewayMetric) +
           " dns=" + List(c.dnsFromDhcp, c.dnsServers) +
           " wins=" + List(c.winsFromDhcp, c.winsServers);
  }
  return out;
}

TEST(NetshWindows10, LinesAreTakenOrRefusedAsWindows10sNetshDoes) {
  const std::string ipv4 = "interface ipv4", lanServers = " dns=192.168.1.1,192.168.1.2 wins=";
  // The context, the line, and what it changed (nothing printed) or what it printed (nothing
  // changed).
  const std::tuple<std::string, std::string, std::string> cases[] = {
      // A static address replaces every address and the gateway that was not given again.
      {ipv4, "set address name=\"LAN-Verbindung\" source=static address=10.0.0.2 mask=255.0.0.0",
       "LAN-Verbindung: static 10.0.0.2/255.0.0.0 gw=/0" + lanServers},
      {ipv4, "set address WLAN static 10.0.0.2 255.0.0.0 10.0.0.1 5",
       "WLAN: static 10.0.0.2/255.0.0.0 gw=10.0.0.1/5 dns=dhcp wins=dhcp"},
      // Tags and objects shortened to a prefix of one only; a prefix length for the mask; the
      // name in other letters, or the interface index.
      {ipv4, "set addr name=lan-verbindung so=static addr=10.0.0.3/16 gat=none",
       "LAN-Verbindung: static 10.0.0.3/255.255.0.0 gw=/0" + lanServers},
      {ipv4, "set address name=12 source=dhcp", "LAN-Verbindung: dhcp gw=/0" + lanServers},
      {"interface ip", "set address name=17 static 10.0.0.4 255.0.0.0",
       "WLAN: static 10.0.0.4/255.0.0.0 gw=/0 dns=dhcp wins=dhcp"},
      {ipv4, "set address name=LAN-Verbindung gateway=10.0.0.1 gwmetric=1",
       "One or more essential parameters were not entered.\r\n"
       "Verify the required parameters, and reenter them.\r\n"},
      {ipv4, "set address name=\"Ethernet 7\" source=dhcp",
       "The filename, directory name, or volume label syntax is incorrect.\r\n"},
      {ipv4, "set address name=WLAN s=static address=10.0.0.2 mask=255.0.0.0",
       "The syntax supplied for this command is not valid. Check help for the correct "
       "syntax.\r\n"},
      {ipv4, "set address WLAN static 10.0.0.300 255.0.0.0",
       "Invalid address parameter (10.0.0.300).\r\n"},
      // An added address turns DHCP off.
      {ipv4, "add address name=WLAN address=10.0.0.8 mask=255.0.0.0 gateway=10.0.0.1 gwmetric=2",
       "WLAN: static 10.0.0.8/255.0.0.0 gw=10.0.0.1/2 dns=dhcp wins=dhcp"},
      {ipv4, "add address 12 10.0.0.9 255.0.0.0",
       "LAN-Verbindung: static 192.168.1.10/255.255.255.0 10.0.0.9/255.0.0.0 gw=192.168.1.1/0" +
           lanServers},
      // "dns" and "wins" are short for "dnsservers" and "winsservers"; validate=yes takes the
      // server as it is.
      {ipv4,
       "set dnsservers name=WLAN source=static address=10.0.0.53 register=primary validate=no",
       "WLAN: dhcp gw=/0 dns=10.0.0.53 wins=dhcp"},
      {ipv4, "set dns WLAN static 10.0.0.53 both yes", "WLAN: dhcp gw=/0 dns=10.0.0.53 wins=dhcp"},
      {ipv4, "set dnsservers WLAN static 10.0.0.53 validate=maybe",
       "'maybe' is not an acceptable value for validate.\r\n"},
      {ipv4, "add dnsservers name=LAN-Verbindung address=10.0.0.54 index=1",
       "LAN-Verbindung: static 192.168.1.10/255.255.255.0 gw=192.168.1.1/0 "
       "dns=10.0.0.54,192.168.1.1,192.168.1.2 wins="},
      {ipv4, "add dns name=WLAN addr=10.0.0.54 validate=no",
       "WLAN: dhcp gw=/0 dns=10.0.0.54 wins=dhcp"},
      {ipv4, "set winsservers name=WLAN source=static address=10.0.0.99",
       "WLAN: dhcp gw=/0 dns=dhcp wins=10.0.0.99"},
      {ipv4, "add wins name=WLAN address=10.0.0.98 index=1",
       "WLAN: dhcp gw=/0 dns=dhcp wins=10.0.0.98"},
      // No "reset all" in the interface context; IPv6 is there, but nothing of it is modelled.
      {"interface", "reset all", "The following command was not found: reset all.\r\n"},
      {"interface ipv6", "set address name=WLAN source=dhcp",
       "The following command was not found: set address name=WLAN source=dhcp.\r\n"},
  };
  for (const auto& [context, line, result] : cases) {
    SCOPED_TRACE(context + "> " + line);
    NetworkState state = NetworkState::Default();
    NetshInterpreter netsh(state, NetshVersion::kWindows10);
    ASSERT_TRUE(netsh.SetContext(context));
    const bool taken = netsh.Execute(line);
    EXPECT_EQ(netsh.changed(), taken);
    EXPECT_EQ(taken ? Changes(state) : netsh.output(), result);
    EXPECT_EQ(taken ? netsh.output() : Changes(state), "");
  }
}

// The commands of the later settings, on a machine whose WLAN is a Wi-Fi adapter with IPv6
// from the router: the context, the line, and what it changed or what it printed.
TEST(NetshWindows10, LaterSettingsLinesAreTakenOrRefusedAsWindows10sNetshDoes) {
  NetworkState machine = NetworkState::Default();
  for (ConnectionState& c : machine.connections) c.ipv6 = true;
  machine.connections[1].wireless = true;
  machine.connections[1].wlanProfiles = {"Gast", "B\xFCro"};
  auto later = [&](const NetworkState& state) {
    std::string out;
    for (std::size_t i = 0; i < state.connections.size(); ++i) {
      const ConnectionState& c = state.connections[i];
      if (c == machine.connections[i]) continue;
      out += c.name + ":" + (c.enabled ? "" : " off") + (c.routerDiscovery ? "" : " rd=off");
      for (const auto& a : c.ipv6Addresses)
        out += " " + a.address + "/" + std::to_string(a.prefixLength);
      out += " gw=" + c.ipv6Gateway + " dns=" + List(c.ipv6DnsFromDhcp, c.ipv6DnsServers) +
             " wlan=" + c.wlanConnected;
    }
    return out;
  };
  const std::string ipv6 = "interface ipv6";
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {ipv6, "add address interface=12 address=2001:db8::5/48",
       "LAN-Verbindung: 2001:db8::5/48 gw= dns=dhcp wlan="},
      {ipv6, "add address LAN-Verbindung 2001:DB8::5",
       "LAN-Verbindung: 2001:DB8::5/64 gw= dns=dhcp wlan="},
      {ipv6, "add address interface=12 address=2001:db8::g",
       "Invalid address parameter (2001:db8::g).\r\n"},
      {ipv6, "add address interface=12 address=10.0.0.1/8",
       "Invalid address parameter (10.0.0.1).\r\n"},
      {ipv6, "delete address interface=12 address=2001:db8::9", "Element not found.\r\n"},
      {ipv6, "set interface interface=17 routerdiscovery=disabled",
       "WLAN: rd=off gw= dns=dhcp wlan="},
      {ipv6, "set int 17 routerdiscovery=maybe",
       "'maybe' is not an acceptable value for routerdiscovery.\r\n"},
      {ipv6, "add route prefix=::/0 interface=12 nexthop=fe80::1",
       "LAN-Verbindung: gw=fe80::1 dns=dhcp wlan="},
      {ipv6, "add route ::/0 12",
       "One or more essential parameters were not entered.\r\n"
       "Verify the required parameters, and reenter them.\r\n"},
      {ipv6, "delete route prefix=::/0 interface=12 nexthop=fe80::1", "Element not found.\r\n"},
      {ipv6,
       "set dnsservers name=12 source=static address=2001:db8::53 register=primary validate=no",
       "LAN-Verbindung: gw= dns=2001:db8::53 wlan="},
      {ipv6, "set dnsservers name=12 source=static address=10.0.0.1",
       "Invalid address parameter (10.0.0.1).\r\n"},
      {ipv6, "add dnsservers name=WLAN address=2001:db8::54 index=2 validate=no",
       "WLAN: gw= dns=2001:db8::54 wlan="},
      {"interface", "set interface name=\"WLAN\" admin=disabled", "WLAN: off gw= dns=dhcp wlan="},
      {"interface", "set interface name=17 admin=disabled",
       "An interface with this name is not registered with the router.\r\n"},
      {"interface", "set interface name=WLAN admin=on",
       "'on' is not an acceptable value for admin.\r\n"},
      {"wlan", "connect name=\"B\xFCro\" interface=\"WLAN\"", "WLAN: gw= dns=dhcp wlan=B\xFCro"},
      {"wlan", "connect name=Gast", "WLAN: gw= dns=dhcp wlan=Gast"},
      {"wlan", "connect name=Nachbar interface=WLAN",
       "There is no profile \"Nachbar\" assigned to the specified interface.\r\n"},
      {"wlan", "connect name=Gast interface=LAN-Verbindung",
       "There is no such wireless interface on the system.\r\n"},
  };
  for (const auto& [context, line, result] : cases) {
    SCOPED_TRACE(context + "> " + line);
    NetworkState state = machine;
    NetshInterpreter netsh(state, NetshVersion::kWindows10);
    ASSERT_TRUE(netsh.SetContext(context));
    const bool taken = netsh.Execute(line);
    EXPECT_EQ(netsh.changed(), taken);
    EXPECT_EQ(taken ? later(state) : netsh.output(), result);
    if (!taken) {
      EXPECT_EQ(later(state), "");
    }
  }
  // An adapter that is off has no IP interface until it is switched on again.
  NetworkState state = machine;
  state.connections[1].enabled = false;
  NetshInterpreter netsh(state, NetshVersion::kWindows10);
  EXPECT_FALSE(netsh.Execute("interface ipv4 set address name=17 source=dhcp"));
  EXPECT_TRUE(netsh.Execute("interface set interface WLAN enabled"));
  EXPECT_TRUE(netsh.Execute("interface ipv4 set address name=17 source=dhcp"));
}

// The machine a Windows 10 dump describes: a DHCP connection (with a lease, which the dump
// leaves out) for each "set interface" line, static with the addresses of its "add address"
// lines, and the next hop of its default route as its gateway.
NetworkState MachineOf(std::string_view dump) {
  const auto lines = SplitLines(dump);
  auto quoted = [](const std::string& line) {
    const auto open = line.find('"');
    return line.substr(open + 1, line.find('"', open + 1) - open - 1);
  };
  auto value = [](const std::string& line, const std::string& tag) {
    const auto at = line.find(" " + tag + "=") + tag.size() + 2;
    return Trim(line.substr(at, line.find(' ', at) - at));
  };
  NetworkState machine;
  for (const auto& line : lines) {
    if (!line.starts_with("set interface ")) continue;
    ConnectionState& c = machine.connections.emplace_back();
    c.name = quoted(line);
    c.dhcp = c.dnsFromDhcp = c.winsFromDhcp = true;
    c.dhcpLease = {"10.9.9.9", "255.0.0.0"};
  }
  for (const auto& line : lines) {
    if (line.starts_with("add address ")) {
      ConnectionState* c = machine.Find(quoted(line));
      c->dhcp = false;
      c->addresses.push_back({value(line, "address"), value(line, "mask")});
    } else if (line.starts_with("add route prefix=0.0.0.0/0 ")) {
      machine.Find(quoted(line))->gateway = value(line, "nexthop");
    }
  }
  return machine;
}

TEST(NetshWindows10, DumpOfTheMachineOfARealDumpIsThatDump) {
  const std::string_view sample = test::RealDumpBytes("windows10-en-interface-dump.txt");
  NetworkState machine = MachineOf(sample);
  ASSERT_EQ(machine.connections.size(), 13u);
  // Its dump leaves DNS and WINS servers out.
  machine.connections[0].dnsServers = {"192.168.53.53"};
  machine.connections[0].winsServers = {"192.168.53.54"};
  NetshInterpreter netsh(machine, NetshVersion::kWindows10);
  ASSERT_TRUE(netsh.Execute("interface dump"));
  EXPECT_EQ(netsh.output(), sample);

  // The gateways of the Server 2019 sample: default routes after "set global", before the
  // interfaces. Its dump ends after the addresses; it holds what the simulation cannot have:
  // "set global" without values, a route to another network, a blank at a line's end.
  const std::string_view server = test::RealDumpBytes("windows-server-2019-ipv4-dump.txt");
  std::vector<std::string> expected;
  for (const auto& line : SplitLines(server)) {
    if (line.starts_with("add route prefix=100.1.1.0/24")) continue;
    expected.push_back(line == "set global" ? "set global icmpredirects=enabled" : Trim(line));
  }
  ASSERT_EQ(expected.size(), 28u);
  machine = MachineOf(server);
  NetshInterpreter ipv4(machine, NetshVersion::kWindows10);
  ASSERT_TRUE(ipv4.SetContext("interface ipv4") && ipv4.Execute("dump"));
  std::vector<std::string> dumped = SplitLines(ipv4.output());
  ASSERT_GT(dumped.size(), expected.size());
  dumped.resize(expected.size());
  EXPECT_EQ(dumped, expected);
  machine.Find("br-int")->gatewayMetric = 3;
  EXPECT_NE(Windows10Ipv4Dump(machine).find("nexthop=10.0.0.1 metric=3 publish=Yes\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace lanvoy::standin
