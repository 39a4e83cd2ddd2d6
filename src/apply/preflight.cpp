#include "apply/preflight.h"

#include <algorithm>

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

}  // namespace

std::vector<Finding> PreflightChecks(const ProfileRecord& p, const MachineFacts& machine) {
  std::vector<Finding> out;
  // A connection without a name is no connection of the machine the profile sets: netsh
  // refuses its lines, and says so after the apply.
  for (const ConnectionSettings& c : ConnectionsOf(p)) {
    if (!c.Configured()) continue;
    CheckConnectionName(c, machine, out);
    CheckConnectionValues(c, out);
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
