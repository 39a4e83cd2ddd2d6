#include "apply/netsh_script.h"

#include "apply/preflight.h"
#include "base/error.h"
#include "base/files.h"
#include "base/strings.h"

#include <utility>

namespace lanvoy {

namespace {

// The lines of one block: connection 1's first line opens the block, every other line
// (connection 2's first one too) is preceded by CR LF.
class Block {
 public:
  void Add(const std::string& line) {
    if (started_) text_ += kCRLF;
    text_ += line;
    started_ = true;
  }
  // Connection 2 begins on a line of its own even when connection 1 gave none.
  void StartSecondConnection() { started_ = true; }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
  bool started_ = false;
};

std::string Quote(const std::string& name) {
  return "\"" + name + "\"";
}

void AddAddressLines(Block& block, const ConnectionSettings& c, const std::string& metric) {
  const std::string name = Quote(c.LongLANDescription);
  if (c.DHCP == kModeStatic) {
    block.Add("set address name = " + name + " static addr = " + c.IP + " mask = " + c.Subnet);
    if (!c.IP2.empty())
      block.Add("add address name = " + name + " addr = " + c.IP2 + " mask = " + c.Subnet2);
    if (!c.Gateway.empty())
      block.Add("set address name = " + name + " gateway = " + c.Gateway + " gwmetric = " + metric);
  } else if (c.DHCP == kModeDhcp) {
    block.Add("set address name = " + name + " Source = dhcp");
  }
}

// Connection 1 always gets its static line, connection 2 only with a first DNS server.
void AddDnsLines(Block& block, const ConnectionSettings& c, bool first) {
  const std::string name = Quote(c.LongLANDescription);
  if (c.DHCP_DNS) {
    block.Add("set dns name = " + name + " source=dhcp");
    return;
  }
  if (!first && c.DNS.empty()) return;
  // netsh refuses a line without an address; "none" clears the servers as the profile asks.
  block.Add("set dns name = " + name +
            " source = static addr = " + (c.DNS.empty() ? "none" : c.DNS));
  if (!c.DNS2.empty()) block.Add("add dns name = " + name + " addr = " + c.DNS2);
}

void AddWinsLines(Block& block, const ConnectionSettings& c) {
  const std::string name = Quote(c.LongLANDescription);
  if (c.DHCP_WINS)
    block.Add("set wins name = " + name + " source = dhcp");
  else if (!c.WINS.empty())
    block.Add("set wins name =  " + name + " source = static addr = " + c.WINS);
}

// One block: the lines of each connection the profile has, connection 1's first.
template <class Lines>
std::string BuildBlock(const ProfileRecord& profile, Lines lines) {
  Block block;
  const std::vector<ConnectionSettings> connections = ConnectionsOf(profile);
  for (size_t i = 0; i < connections.size(); ++i) {
    if (i > 0) block.StartSecondConnection();
    lines(block, connections[i], i == 0);
  }
  return block.Take();
}

}  // namespace

std::string BuildAddressCommands(const ProfileRecord& profile, const NetshTarget& target) {
  return BuildBlock(profile, [&](Block& block, const ConnectionSettings& c, bool) {
    AddAddressLines(block, c, target.MetricOf(c.LongLANDescription));
  });
}

std::string BuildDnsCommands(const ProfileRecord& profile) {
  return BuildBlock(profile, AddDnsLines);
}

std::string BuildWinsCommands(const ProfileRecord& profile) {
  return BuildBlock(
      profile, [](Block& block, const ConnectionSettings& c, bool) { AddWinsLines(block, c); });
}

namespace {

// The "interface ipv4" lines of one connection.
class Ipv4Lines {
 public:
  Ipv4Lines(const NetshTarget& target) : target_(target) {}
  std::string Name(const ConnectionSettings& c) const {
    auto it = target_.interfaceIndex.find(c.LongLANDescription);
    return it != target_.interfaceIndex.end() ? std::to_string(it->second)
                                              : Quote(c.LongLANDescription);
  }
  void Address(Block& block, const ConnectionSettings& c) const {
    const std::string name = Name(c);
    if (c.DHCP == kModeStatic) {
      // A static address replaces every address and the default gateway: the gateway goes
      // into the same line, or none.
      block.Add(
          "set address name=" + name + " source=static address=" + c.IP + " mask=" + c.Subnet +
          (c.Gateway.empty() ? " gateway=none"
                             : " gateway=" + c.Gateway + " gwmetric=" +
                                   (c.GatewayMetric.empty() ? target_.MetricOf(c.LongLANDescription)
                                                            : c.GatewayMetric)));
      if (!c.IP2.empty())
        block.Add("add address name=" + name + " address=" + c.IP2 + " mask=" + c.Subnet2);
    } else if (c.DHCP == kModeDhcp) {
      block.Add("set address name=" + name + " source=dhcp");
    }
  }
  // Without validate=no netsh first asks each server, which takes seconds when it is far.
  void Dns(Block& block, const ConnectionSettings& c, bool first) const {
    const std::string name = Name(c);
    if (c.DHCP_DNS) {
      block.Add("set dnsservers name=" + name + " source=dhcp");
      return;
    }
    if (!first && c.DNS.empty()) return;
    block.Add("set dnsservers name=" + name + " source=static address=" +
              (c.DNS.empty() ? std::string("none") : c.DNS) + " register=primary validate=no");
    if (!c.DNS2.empty())
      block.Add("add dnsservers name=" + name + " address=" + c.DNS2 + " index=2 validate=no");
    int index = 3;
    for (const std::string& server : SplitList(c.DNSMore))
      block.Add("add dnsservers name=" + name + " address=" + server +
                " index=" + std::to_string(index++) + " validate=no");
  }
  void Wins(Block& block, const ConnectionSettings& c) const {
    const std::string name = Name(c);
    if (c.DHCP_WINS)
      block.Add("set winsservers name=" + name + " source=dhcp");
    else if (!c.WINS.empty())
      block.Add("set winsservers name=" + name + " source=static address=" + c.WINS);
  }

 private:
  const NetshTarget& target_;
};

}  // namespace

namespace {

// The IPv6 lines of one connection: the mode, the addresses and gateway set by hand that the
// profile does not keep removed, its own added, then the DNS servers.
void AddIpv6Lines(Block& block, const ConnectionSettings& c, const std::string& name,
                  const ManualIPv6& now) {
  const bool manual = c.IPv6Mode == kIPv6Static;
  block.Add("set interface interface=" + name +
            " routerdiscovery=" + (manual ? "disabled" : "enabled"));
  std::vector<std::pair<std::string, std::string>> wanted;
  if (manual)
    for (auto [address, prefix] : {std::pair{&c.IPv6, &c.IPv6Prefix}, {&c.IPv6_2, &c.IPv6Prefix2}})
      if (!address->empty()) wanted.emplace_back(*address, prefix->empty() ? "64" : *prefix);
  auto held = [](const auto& list, const std::pair<std::string, std::string>& a) {
    return std::any_of(list.begin(), list.end(), [&](const auto& b) {
      return SameIPv6(a.first, b.first) && a.second == b.second;
    });
  };
  for (const auto& a : now.addresses)
    if (!held(wanted, a)) block.Add("delete address interface=" + name + " address=" + a.first);
  for (const auto& a : wanted)
    if (!held(now.addresses, a))
      block.Add("add address interface=" + name + " address=" + a.first + "/" + a.second);
  const std::string gateway = manual ? c.IPv6Gateway : "";
  if (!now.gateway.empty() && !SameIPv6(now.gateway, gateway))
    block.Add("delete route prefix=::/0 interface=" + name + " nexthop=" + now.gateway);
  if (!gateway.empty() && (now.gateway.empty() || !SameIPv6(now.gateway, gateway)))
    block.Add("add route prefix=::/0 interface=" + name + " nexthop=" + gateway);
  if (c.DHCP_IPv6DNS) {
    block.Add("set dnsservers name=" + name + " source=dhcp");
    return;
  }
  block.Add("set dnsservers name=" + name +
            " source=static address=" + (c.IPv6DNS.empty() ? std::string("none") : c.IPv6DNS) +
            " register=primary validate=no");
  if (!c.IPv6DNS2.empty())
    block.Add("add dnsservers name=" + name + " address=" + c.IPv6DNS2 + " index=2 validate=no");
}

// A context's entries around its lines, or none when there are no lines.
void AddContext(std::vector<std::string>& entries, const char* context, const std::string& lines) {
  if (lines.empty()) return;
  entries.insert(entries.end(), {std::string("pushd ") + context, lines, "popd"});
}

std::string AdapterLines(const ProfileRecord& profile, int32_t state) {
  Block block;
  for (const ConnectionSettings& c : ConnectionsOf(profile))
    if (!c.LongLANDescription.empty() && c.AdapterState == state)
      block.Add("set interface name=" + Quote(c.LongLANDescription) +
                " admin=" + (state == kAdapterEnabled ? "enabled" : "disabled"));
  return block.Take();
}

}  // namespace

std::vector<std::string> NewerSettingsBefore(const ProfileRecord& profile, const NetshTarget&) {
  std::vector<std::string> entries;
  AddContext(entries, "interface", AdapterLines(profile, kAdapterEnabled));
  return entries;
}

std::vector<std::string> NewerSettingsAfter(const ProfileRecord& profile,
                                            const NetshTarget& target) {
  const Ipv4Lines names(target);
  Block ipv6, wlan;
  for (const ConnectionSettings& c : ConnectionsOf(profile)) {
    if (c.LongLANDescription.empty()) continue;
    if (c.IPv6Mode == kIPv6Static || c.IPv6Mode == kIPv6Automatic) {
      auto now = target.ipv6.find(c.LongLANDescription);
      AddIpv6Lines(ipv6, c, names.Name(c), now == target.ipv6.end() ? ManualIPv6{} : now->second);
    }
    // Wi-Fi names its interface by the connection's name.
    if (!c.WlanProfile.empty())
      wlan.Add("connect name=" + Quote(c.WlanProfile) +
               " interface=" + Quote(c.LongLANDescription));
  }
  std::vector<std::string> entries;
  AddContext(entries, "interface ipv6", ipv6.Take());
  AddContext(entries, "wlan", wlan.Take());
  AddContext(entries, "interface", AdapterLines(profile, kAdapterDisabled));
  return entries;
}

std::vector<std::string> BuildNetshScript(const ProfileRecord& profile, const NetshTarget& target) {
  if (!target.ipv4Grammar)
    return {"pushd interface\r\nreset all\r\npopd\r\npushd interface ip",
            BuildAddressCommands(profile, target), BuildDnsCommands(profile),
            BuildWinsCommands(profile), "popd"};
  const Ipv4Lines lines(target);
  std::vector<std::string> entries = NewerSettingsBefore(profile, target);
  std::vector<std::string> ipv4 = {
      "pushd interface ipv4",
      BuildBlock(profile,
                 [&](Block& b, const ConnectionSettings& c, bool) { lines.Address(b, c); }),
      BuildBlock(profile, [&](Block& b, const ConnectionSettings& c,
                              bool first) { lines.Dns(b, c, first); }),
      BuildBlock(profile, [&](Block& b, const ConnectionSettings& c, bool) { lines.Wins(b, c); }),
      "popd"};
  entries.insert(entries.end(), ipv4.begin(), ipv4.end());
  for (std::string& entry : NewerSettingsAfter(profile, target))
    entries.push_back(std::move(entry));
  return entries;
}

std::vector<std::string> BuildNetshScript(const ProfileRecord& profile) {
  return BuildNetshScript(profile, NetshTarget{});
}

std::string NetshScriptText(const std::vector<std::string>& entries) {
  std::string bytes;
  for (const std::string& entry : entries) bytes.append(entry).append(kCRLF);
  return bytes;
}

void WriteNetshScript(const std::string& path, const std::vector<std::string>& entries) {
  if (!WriteFileAtomic(path, NetshScriptText(entries), Durability::kLazy))
    throw EFCreateError(path);
}

}  // namespace lanvoy
