#include "sysread/connections.h"

#include <tuple>

namespace lanvoy {

bool UsesInterfaceDump(const platform::System::Version& version) {
  return version.major <= 5;
}

namespace {

// An adapter that is on reads as "leave alone": a profile taken from a working machine does
// not switch adapters. IPv6 reads as static where router discovery is off.
void ReadNewerSettings(const platform::NetworkAdapter& a, TNetworkInfo& c) {
  c.AdapterState = a.enabled ? kModeNone : kAdapterDisabled;
  c.DNSSuffix = a.dnsSuffix;
  c.WlanProfile = a.wlanConnected;
  c.Wireless = a.type == platform::kIfTypeWifi;
  c.WlanProfiles = a.wlanProfiles;
  if (a.dnsStatic && a.dnsServers.size() > 2) {
    for (size_t i = 2; i < a.dnsServers.size(); ++i)
      c.DNSMore += (i > 2 ? ";" : "") + a.dnsServers[i];
  }
  for (const platform::IPv6Address& address : a.ipv6Addresses)
    if (address.manual)
      c.IPv6Manual.emplace_back(address.address, std::to_string(address.prefixLength));
  if (a.ipv6GatewayManual) c.IPv6GatewayManual = a.ipv6Gateway;
  if (!a.ipv6) return;
  c.IPv6Mode = a.ipv6RouterDiscovery ? kIPv6Automatic : kIPv6Static;
  if (c.IPv6Mode == kIPv6Static) {
    if (!c.IPv6Manual.empty()) std::tie(c.IPv6, c.IPv6Prefix) = c.IPv6Manual[0];
    if (c.IPv6Manual.size() > 1) std::tie(c.IPv6_2, c.IPv6Prefix2) = c.IPv6Manual[1];
    c.IPv6Gateway = c.IPv6GatewayManual;
  }
  c.DHCP_IPv6DNS = !a.ipv6DnsStatic;
  if (a.ipv6DnsStatic) {
    if (!a.ipv6DnsServers.empty()) c.IPv6DNS = a.ipv6DnsServers[0];
    if (a.ipv6DnsServers.size() > 1) c.IPv6DNS2 = a.ipv6DnsServers[1];
  }
}

}  // namespace

TNetworkInfoSet ConnectionTable(const std::vector<platform::NetworkAdapter>& adapters,
                                std::vector<std::string>& problems) {
  TNetworkInfoSet table;
  for (const platform::NetworkAdapter& a : adapters) {
    if (a.type == platform::kIfTypeLoopback || a.type == platform::kIfTypeTunnel || a.hidden)
      continue;
    if (!a.unmappableName.empty()) {
      problems.push_back("The connection \"" + a.name +
                         "\" has characters in its name that this computer's code page cannot "
                         "hold, so a profile cannot name it. Rename it in Network Connections "
                         "(letters of the code page, digits, blanks and hyphens).");
      continue;
    }
    TNetworkInfo c;
    c.LongLANDescription = a.name;
    c.InterfaceIndex = a.index;
    // As the dump of Windows 5 reads: a DHCP connection shows no address and no gateway.
    c.DHCP = a.dhcp ? kModeDhcp : kModeStatic;
    if (!a.dhcp) {
      if (!a.addresses.empty()) c.IP = a.addresses[0].address, c.Subnet = a.addresses[0].mask;
      if (a.addresses.size() > 1) c.IP2 = a.addresses[1].address, c.Subnet2 = a.addresses[1].mask;
      c.Gateway = a.gateway;
      if (!a.gateway.empty()) c.GatewayMetric = std::to_string(a.gatewayMetric);
    }
    c.DHCP_DNS = !a.dnsStatic;
    if (a.dnsStatic) {
      if (!a.dnsServers.empty()) c.DNS = a.dnsServers[0];
      if (a.dnsServers.size() > 1) c.DNS2 = a.dnsServers[1];
    }
    c.DHCP_WINS = !a.winsStatic;
    if (a.winsStatic && !a.winsServers.empty()) c.WINS = a.winsServers[0];
    ReadNewerSettings(a, c);
    table.push_back(std::move(c));
  }
  return table;
}

TNetworkInfoSet ReadConnections(ReadContext& ctx, std::vector<std::string>* problems) {
  if (UsesInterfaceDump(ctx.platform.system().WindowsVersion())) return ReadInterfaceDump(ctx);
  std::vector<std::string> found;
  TNetworkInfoSet table = ConnectionTable(ctx.platform.network().Adapters(), found);
  if (problems) *problems = std::move(found);
  return table;
}

NetshTarget NetshTargetFor(const platform::System::Version& version,
                           const TNetworkInfoSet& connections) {
  NetshTarget target;
  target.ipv4Grammar = !UsesInterfaceDump(version);
  for (const TNetworkInfo& c : connections) {
    if (c.InterfaceIndex != 0)
      target.interfaceIndex.emplace(c.LongLANDescription, c.InterfaceIndex);
    target.ipv6[c.LongLANDescription] = {c.IPv6Manual, c.IPv6GatewayManual};
  }
  return target;
}

}  // namespace lanvoy
