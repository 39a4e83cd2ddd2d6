#include "sysread/connections.h"

namespace lanvoy {

bool UsesInterfaceDump(const platform::System::Version& version) {
  return version.major <= 5;
}

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
  for (const TNetworkInfo& c : connections)
    if (c.InterfaceIndex != 0)
      target.interfaceIndex.emplace(c.LongLANDescription, c.InterfaceIndex);
  return target;
}

}  // namespace lanvoy
