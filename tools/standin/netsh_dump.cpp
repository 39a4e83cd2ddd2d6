#include "standin/netsh_dump.h"

#include "base/strings.h"

namespace lanvoy::standin {

namespace {

void Line(std::string& out, const std::string& text = {}) {
  out += text;
  out += kCRLF;
}

std::string Quoted(const std::string& name) {
  return "name=\"" + name + "\"";
}

void ConnectionLines(std::string& out, const ConnectionState& c) {
  const std::string name = Quoted(c.name);
  Line(out, "# Interface IP Configuration for \"" + c.name + "\"");
  Line(out);
  if (c.dhcp) {
    Line(out, "set address " + name + " source=dhcp");
  } else {
    for (std::size_t i = 0; i < c.addresses.size(); ++i) {
      const auto& a = c.addresses[i];
      Line(out, (i == 0 ? "set address " + name + " source=static addr="
                        : "add address " + name + " addr=") +
                    a.address + " mask=" + a.mask);
    }
    if (!c.gateway.empty())
      Line(out, "set address " + name + " gateway=" + c.gateway +
                    " gwmetric=" + std::to_string(c.gatewayMetric));
  }
  if (c.dnsFromDhcp) {
    Line(out, "set dns " + name + " source=dhcp register=PRIMARY");
  } else if (c.dnsServers.empty()) {
    Line(out, "set dns " + name + " source=static addr=none register=PRIMARY");
  } else {
    Line(out, "set dns " + name + " source=static addr=" + c.dnsServers[0] + " register=PRIMARY");
    // Windows adds "index=N" here; the reader this dump is made for takes everything after
    // "addr=" as the address, so the index is left out.
    for (std::size_t i = 1; i < c.dnsServers.size(); ++i)
      Line(out, "add dns " + name + " addr=" + c.dnsServers[i]);
  }
  if (c.winsFromDhcp)
    Line(out, "set wins " + name + " source=dhcp");
  else
    Line(out, "set wins " + name + " source=static addr=" +
                  (c.winsServers.empty() ? std::string("none") : c.winsServers[0]));
  Line(out);
  Line(out);
}

}  // namespace

std::string InterfaceIpDump(const NetworkState& state) {
  std::string out;
  Line(out);
  Line(out, "# ----------------------------------");
  Line(out, "# Interface IP Configuration");
  Line(out, "# ----------------------------------");
  Line(out, "pushd interface ip");
  Line(out);
  Line(out);
  for (const auto& c : state.connections) ConnectionLines(out, c);
  Line(out, "popd");
  Line(out, "# End of interface IP configuration");
  Line(out);
  return out;
}

std::string InterfaceDump(const NetworkState& state) {
  std::string out;
  Line(out);
  Line(out, "#========================");
  Line(out, "# Interface configuration");
  Line(out, "#========================");
  Line(out, "pushd interface");
  Line(out);
  Line(out, "reset all");
  Line(out);
  Line(out);
  Line(out, "popd");
  Line(out, "# End of interface configuration");
  Line(out);
  out += InterfaceIpDump(state);
  return out;
}

std::string Windows10Ipv4Dump(const NetworkState& state) {
  std::string out;
  Line(out, "# ----------------------------------");
  Line(out, "# IPv4 Configuration");
  Line(out, "# ----------------------------------");
  Line(out, "pushd interface ipv4");
  Line(out);
  Line(out, "reset");
  Line(out, "set global icmpredirects=enabled");
  // A static gateway is the interface's default route.
  for (const auto& c : state.connections) {
    if (c.dhcp || c.gateway.empty()) continue;
    Line(out, "add route prefix=0.0.0.0/0 interface=\"" + c.name + "\" nexthop=" + c.gateway +
                  (c.gatewayMetric ? " metric=" + std::to_string(c.gatewayMetric) : "") +
                  " publish=Yes");
  }
  for (const auto& c : state.connections)
    Line(out,
         "set interface interface=\"" + c.name +
             "\" forwarding=enabled advertise=enabled nud=enabled ignoredefaultroutes=disabled");
  for (const auto& c : state.connections) {
    if (c.dhcp) continue;
    for (const auto& a : c.addresses)
      Line(out, "add address " + Quoted(c.name) + " address=" + a.address + " mask=" + a.mask);
  }
  Line(out);
  Line(out);
  Line(out, "popd");
  Line(out, "# End of IPv4 configuration");
  return out;
}

std::string Windows10InterfaceDump(const NetworkState& state) {
  std::string out;
  Line(out, "#========================");
  Line(out, "# Interface configuration");
  Line(out, "#========================");
  Line(out, "pushd interface");
  Line(out);
  Line(out);
  Line(out, "popd");
  Line(out, "# End of interface configuration");
  Line(out);
  Line(out);
  Line(out);
  Line(out, "# ----------------------------------");
  Line(out, "# IPHTTPS Configuration");
  Line(out, "# ----------------------------------");
  Line(out, "pushd interface httpstunnel");
  Line(out);
  Line(out, "reset");
  Line(out);
  Line(out);
  Line(out, "popd");
  Line(out, "# End of IPHTTPS configuration");
  Line(out);
  Line(out);
  Line(out);
  out += Windows10Ipv4Dump(state);
  return out;
}

}  // namespace lanvoy::standin
