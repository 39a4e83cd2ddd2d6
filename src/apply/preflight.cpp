#include "apply/preflight.h"

#include <algorithm>
#include <tuple>

#include "apply/mail_servers.h"
#include "apply/profile_script.h"
#include "base/strings.h"

namespace lanvoy {

std::optional<uint32_t> ParseIPv4(std::string_view text) {
  uint32_t address = 0;
  int parts = 0;
  size_t i = 0;
  while (parts < 4) {
    size_t digits = 0;
    uint32_t part = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 4) {
      part = part * 10 + static_cast<uint32_t>(text[i] - '0');
      ++i;
      ++digits;
    }
    if (digits == 0 || digits > 3 || part > 255) return std::nullopt;
    address = address << 8 | part;
    if (++parts < 4) {
      if (i >= text.size() || text[i] != '.') return std::nullopt;
      ++i;
    }
  }
  if (i != text.size()) return std::nullopt;
  return address;
}

std::optional<IPv6Groups> ParseIPv6(std::string_view text) {
  std::vector<uint16_t> head, tail;
  bool gap = false;
  if (text.starts_with("::")) {
    gap = true;
    text.remove_prefix(2);
  }
  while (!text.empty()) {
    std::vector<uint16_t>& groups = gap ? tail : head;
    const size_t end = std::min(text.find(':'), text.size());
    const std::string_view group = text.substr(0, end);
    if (group.find('.') != std::string_view::npos && end == text.size()) {
      const auto v4 = ParseIPv4(group);  // the last 32 bits, dotted
      if (!v4) return std::nullopt;
      groups.push_back(static_cast<uint16_t>(*v4 >> 16));
      groups.push_back(static_cast<uint16_t>(*v4 & 0xFFFF));
      text = {};
      break;
    }
    if (group.empty() || group.size() > 4 ||
        group.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos)
      return std::nullopt;
    uint16_t value = 0;
    for (char ch : group)
      value = static_cast<uint16_t>(value * 16 + (ch <= '9'   ? ch - '0'
                                                  : ch <= 'F' ? ch - 'A' + 10
                                                              : ch - 'a' + 10));
    groups.push_back(value);
    text.remove_prefix(end);
    if (text.starts_with("::")) {
      if (gap) return std::nullopt;
      gap = true;
      text.remove_prefix(2);
    } else if (!text.empty()) {
      text.remove_prefix(1);
      if (text.empty()) return std::nullopt;  // a trailing single ":"
    }
  }
  const size_t count = head.size() + tail.size();
  if (gap ? count > 7 : count != 8) return std::nullopt;
  IPv6Groups out{};
  std::copy(head.begin(), head.end(), out.begin());
  std::copy(tail.begin(), tail.end(), out.end() - static_cast<std::ptrdiff_t>(tail.size()));
  return out;
}

bool SameIPv6(std::string_view a, std::string_view b) {
  const auto x = ParseIPv6(a), y = ParseIPv6(b);
  return x && y ? *x == *y : a == b;
}

bool InIPv6Prefix(const IPv6Groups& address, const IPv6Groups& prefix, int length) {
  for (int bit = 0; bit < length && bit < 128; ++bit) {
    const int shift = 15 - bit % 16;
    if (((address[static_cast<size_t>(bit / 16)] >> shift) & 1) !=
        ((prefix[static_cast<size_t>(bit / 16)] >> shift) & 1))
      return false;
  }
  return true;
}

bool IsSubnetMask(uint32_t mask) {
  // The inverted mask plus one is a power of two exactly when the ones stand together on top.
  const uint32_t inverted = ~mask;
  return mask != 0 && (inverted & (inverted + 1)) == 0;
}

bool ValidAddressText(AddressKind kind, std::string_view text) {
  if (text.empty() || (kind == AddressKind::Wins && SameText(text, "none"))) return true;
  const auto value = ParseIPv4(text);
  return value && (kind != AddressKind::Mask || IsSubnetMask(*value));
}

namespace {

class Checker {
 public:
  Checker(const ConnectionSettings& c, std::vector<Finding>& out) : c_(c), out_(out) {}
  void Error(const std::string& text) {
    out_.push_back({Finding::Error, c_.LongLANDescription + ": " + text, c_.LongLANDescription});
  }
  void Warning(const std::string& text) {
    out_.push_back({Finding::Warning, c_.LongLANDescription + ": " + text, c_.LongLANDescription});
  }
  std::optional<uint32_t> Address(const std::string& what, const std::string& value) {
    auto a = ParseIPv4(value);
    if (!a) Error(what + " \"" + value + "\" is not an IPv4 address such as 192.168.1.10.");
    return a;
  }
  std::optional<uint32_t> Mask(const std::string& what, const std::string& value) {
    auto m = ParseIPv4(value);
    if (!m || !IsSubnetMask(*m))
      Error(what + " \"" + value + "\" is not a subnet mask such as 255.255.255.0.");
    return m && IsSubnetMask(*m) ? m : std::nullopt;
  }

 private:
  const ConnectionSettings& c_;
  std::vector<Finding>& out_;
};

void CheckConnectionName(const ConnectionSettings& c, const MachineFacts& machine,
                         std::vector<Finding>& out) {
  Checker check(c, out);
  const bool known = std::any_of(
      machine.connections.begin(), machine.connections.end(),
      [&](const TNetworkInfo& i) { return i.LongLANDescription == c.LongLANDescription; });
  if (!known && machine.connectionsKnown) {
    std::string names;
    for (const TNetworkInfo& i : machine.connections)
      names += (names.empty() ? "" : ", ") + ("\"" + i.LongLANDescription + "\"");
    check.Error("this computer has no connection of that name (it has " +
                (names.empty() ? std::string("none") : names) +
                "); choose one with Get Current or see the system dialog.");
  }
}

void CheckConnectionValues(const ConnectionSettings& c, std::vector<Finding>& out) {
  Checker check(c, out);
  if (c.DHCP == kModeStatic) {
    auto ip = check.Address("the IP address", c.IP);
    auto mask = check.Mask("the subnet mask", c.Subnet);
    std::optional<uint32_t> ip2, mask2;
    if (!c.IP2.empty()) {
      ip2 = check.Address("the second IP address", c.IP2);
      mask2 = check.Mask("the second subnet mask", c.Subnet2);
    }
    if (!c.Gateway.empty()) {
      auto gateway = check.Address("the gateway", c.Gateway);
      auto inside = [&](std::optional<uint32_t> a, std::optional<uint32_t> m) {
        return a && m && (*gateway & *m) == (*a & *m);
      };
      if (gateway && ip && mask && !inside(ip, mask) && !inside(ip2, mask2))
        check.Error("the gateway " + c.Gateway + " lies outside the subnet of " + c.IP + "/" +
                    c.Subnet + (ip2 ? " and of " + c.IP2 + "/" + c.Subnet2 : std::string()) +
                    ": the connection would have no way out.");
    }
    if (ip && mask && ip2 && mask2 && *mask != *mask2 && (*ip2 & *mask) == (*ip & *mask))
      check.Warning("the second address " + c.IP2 + " lies in the subnet of the first address " +
                    c.IP + ", but with another mask (" + c.Subnet2 + " against " + c.Subnet + ").");
  }
  if (!c.DHCP_DNS) {
    if (!c.DNS.empty()) check.Address("the first DNS server", c.DNS);
    if (!c.DNS2.empty()) check.Address("the second DNS server", c.DNS2);
  }
  // Get Current reads a WINS server that is not set as "NONE".
  if (!c.DHCP_WINS && !c.WINS.empty() && !SameText(c.WINS, "none"))
    check.Address("the WINS server", c.WINS);
}

bool IsNumberIn(const std::string& text, int low, int high) {
  if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  const int n = std::stoi(text);
  return n >= low && n <= high;
}

// A DNS suffix: labels of letters, digits and hyphens, separated by dots.
bool IsDnsSuffix(const std::string& text) {
  if (text.size() > 255 || text.front() == '.' || text.back() == '.' ||
      text.find("..") != std::string::npos)
    return false;
  return text.find_first_not_of(
             "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-.") ==
         std::string::npos;
}

// Whether the profile gives the connection anything besides switching its adapter.
bool GivesSettings(const ConnectionSettings& c) {
  return c.Configured() || c.IPv6Mode != kModeNone || !c.WlanProfile.empty() ||
         !c.DNSSuffix.empty() || !c.DNSMore.empty() || !c.GatewayMetric.empty();
}

void CheckIPv6(const ConnectionSettings& c, Checker& check) {
  auto address = [&](const std::string& what, const std::string& value) {
    auto a = ParseIPv6(value);
    if (!a) check.Error(what + " \"" + value + "\" is not an IPv6 address such as 2001:db8::10.");
    return a;
  };
  if (c.IPv6Mode == kIPv6Static) {
    if (c.IPv6.empty() && !c.IPv6_2.empty())
      check.Error("the second IPv6 address is given without the first.");
    std::vector<std::pair<IPv6Groups, int>> prefixes;
    for (auto [value, prefix, what] : {std::tuple{&c.IPv6, &c.IPv6Prefix, "the IPv6 address"},
                                       {&c.IPv6_2, &c.IPv6Prefix2, "the second IPv6 address"}}) {
      if (value->empty()) continue;
      auto a = address(what, *value);
      if (!prefix->empty() && !IsNumberIn(*prefix, 1, 128))
        check.Error(std::string("the prefix length of ") + what + " \"" + *prefix +
                    "\" is not a number from 1 to 128.");
      else if (a)
        prefixes.emplace_back(*a, prefix->empty() ? 64 : std::stoi(*prefix));
    }
    if (!c.IPv6Gateway.empty())
      if (auto g = address("the IPv6 gateway", c.IPv6Gateway)) {
        // A router's link-local address (fe80::/10) is on every link.
        const bool linkLocal = ((*g)[0] & 0xFFC0) == 0xFE80;
        const bool inside = std::any_of(prefixes.begin(), prefixes.end(), [&](const auto& p) {
          return InIPv6Prefix(*g, p.first, p.second);
        });
        if (!linkLocal && !prefixes.empty() && !inside)
          check.Error("the IPv6 gateway " + c.IPv6Gateway +
                      " lies in no prefix of the connection's IPv6 addresses: the connection "
                      "would have no way out.");
      }
  }
  if (!c.DHCP_IPv6DNS) {
    if (!c.IPv6DNS.empty()) address("the first IPv6 DNS server", c.IPv6DNS);
    if (!c.IPv6DNS2.empty()) address("the second IPv6 DNS server", c.IPv6DNS2);
  }
}

void CheckNewerSettings(const ConnectionSettings& c, const MachineFacts& machine,
                        std::vector<Finding>& out) {
  Checker check(c, out);
  if (machine.windows5) {
    if (!c.HasNewerSettings()) return;
    check.Warning(
        "IPv6, more DNS servers, the DNS suffix, the gateway metric, the Wi-Fi network and the "
        "adapter's state are not applied on this Windows (2000 or XP).");
    return;
  }
  if (c.IPv6Mode != kModeNone) CheckIPv6(c, check);
  if (!c.DNSMore.empty() && c.DHCP_DNS)
    check.Warning("the further DNS servers are not used while DNS comes from DHCP.");
  else if (!c.DNSMore.empty() && c.Configured()) {
    for (const std::string& server : SplitList(c.DNSMore))
      check.Address("the further DNS server", server);
    if (c.DNS2.empty())
      check.Warning(
          "further DNS servers are given without a second one: the first of them "
          "becomes the second.");
  }
  if (!c.DNSSuffix.empty() && !IsDnsSuffix(c.DNSSuffix))
    check.Error("the DNS suffix \"" + c.DNSSuffix +
                "\" is no domain name such as office.example.com (letters, digits, hyphens and "
                "dots).");
  if (!c.GatewayMetric.empty() && !IsNumberIn(c.GatewayMetric, 1, 9999))
    check.Error("the gateway metric \"" + c.GatewayMetric + "\" is not a number from 1 to 9999.");
  if (c.AdapterState == kAdapterDisabled && GivesSettings(c))
    check.Error(
        "the profile switches the adapter off and also gives it settings, which Windows "
        "cannot set on an adapter that is off.");
  const TNetworkInfo* is = nullptr;
  for (const TNetworkInfo& i : machine.connections)
    if (i.LongLANDescription == c.LongLANDescription) is = &i;
  if (is == nullptr) return;
  if (is->AdapterState == kAdapterDisabled && c.AdapterState != kAdapterEnabled && GivesSettings(c))
    check.Error(
        "the adapter is switched off: choose \"Enabled\" for the adapter in the profile, "
        "or switch it on in Network Connections.");
  if (!c.WlanProfile.empty()) {
    if (!is->Wireless) {
      check.Error("the connection is no Wi-Fi adapter, so it cannot join the Wi-Fi network \"" +
                  c.WlanProfile + "\".");
    } else if (std::find(is->WlanProfiles.begin(), is->WlanProfiles.end(), c.WlanProfile) ==
               is->WlanProfiles.end()) {
      std::string names;
      for (const std::string& name : is->WlanProfiles)
        names += (names.empty() ? "\"" : ", \"") + name + "\"";
      check.Error("this computer has no Wi-Fi profile \"" + c.WlanProfile + "\" (it has " +
                  (names.empty() ? std::string("none") : names) +
                  "); connect to the network once in Windows to make one.");
    }
  }
}

}  // namespace

std::vector<Finding> PreflightChecks(const ProfileRecord& p, const MachineFacts& machine) {
  std::vector<Finding> out;
  // A connection without a name is no connection of the machine the profile sets: netsh
  // refuses its lines, and says so after the apply.
  for (const ConnectionSettings& c : ConnectionsOf(p)) {
    if (c.Configured()) {
      CheckConnectionName(c, machine, out);
      CheckConnectionValues(c, out);
    } else if (!c.LongLANDescription.empty() && c.HasNewerSettings()) {
      CheckConnectionName(c, machine, out);
    }
    if (!c.LongLANDescription.empty()) CheckNewerSettings(c, machine, out);
  }
  if (p.IncludeHostModification && !machine.hostsWritable)
    out.push_back({Finding::Error, "The hosts file " + machine.hostsPath +
                                       " cannot be written: it may be read-only or locked by a "
                                       "firewall or virus scanner."});
  // The table replaces the file whole: without a line of its own the apply takes localhost
  // away, and programs that reach this computer by that name fail.
  if (p.IncludeHostModification && machine.hostsMapsLocalhost &&
      std::none_of(p.Hosts.begin(), p.Hosts.end(), NamesLocalhost))
    out.push_back({Finding::Warning,
                   "The hosts table has no localhost line: the apply removes \"127.0.0.1   "
                   "localhost\" from the hosts file. Add it to the table to keep it."});
  if (p.IncludeSript && !p.ScriptLines.empty()) {
    const std::string extension = ScriptExtension(p.ScriptKind);
    if (!machine.scriptRunner || !machine.scriptRunner(extension))
      out.push_back({Finding::Warning, "No program on this computer runs scripts of the kind \"" +
                                           std::string(p.ScriptKind >= 0 && p.ScriptKind < 4
                                                           ? kScriptKindNames[p.ScriptKind]
                                                           : "none") +
                                           "\": the script will not run."});
  }
  if (p.IncludeDefPrint && std::find(machine.printers.begin(), machine.printers.end(),
                                     p.DefPrinter) == machine.printers.end())
    out.push_back({Finding::Warning,
                   "The printer \"" + p.DefPrinter + "\" is not installed on this computer."});
  if (!machine.windows5) {
    if (p.IncludeOLExp && !machine.mailAccount)
      out.push_back({Finding::Warning, kNoMailAccountMessage});
    if (p.IncludeDefPrint && machine.windowsManagesPrinter)
      out.push_back({Finding::Warning,
                     "Windows manages the default printer itself (Settings, Printers: \"Let "
                     "Windows manage my default printer\"): it may change \"" +
                         p.DefPrinter + "\" back."});
    if (p.IncludeHostName)
      if (const std::string problem = ComputerNameProblem(p.HostName); !problem.empty())
        out.push_back({Finding::Error, "The computer name \"" + p.HostName + "\" " + problem});
  }
  return out;
}

std::vector<Finding> ValueChecks(const ProfileRecord& p) {
  std::vector<Finding> out;
  for (const ConnectionSettings& c : ConnectionsOf(p))
    if (c.Configured()) CheckConnectionValues(c, out);
  return out;
}

std::string ComputerNameProblem(const std::string& name) {
  if (name.empty()) return "is empty: Windows needs a name.";
  if (name.size() > 15) return "is longer than 15 characters, which Windows does not take.";
  if (name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-") !=
      std::string::npos)
    return "holds characters other than letters, digits and hyphens, which Windows does not take.";
  if (name.find_first_not_of("0123456789") == std::string::npos)
    return "is digits only, which Windows does not take.";
  return "";
}

bool HasErrors(const std::vector<Finding>& findings) {
  return std::any_of(findings.begin(), findings.end(),
                     [](const Finding& f) { return f.level == Finding::Error; });
}

std::string FindingsText(const std::vector<Finding>& findings) {
  std::string text;
  for (const Finding& f : findings)
    text += (f.level == Finding::Error ? "Error: " : "Warning: ") + f.message + kCRLF;
  return text;
}

}  // namespace lanvoy
