#include "standin/network_state.h"

#include <algorithm>
#include <charconv>
#include <system_error>

#include "base/files.h"
#include "base/strings.h"
#include "profiles/ini_file.h"

namespace lanvoy::standin {

namespace fs = std::filesystem;

namespace {

const char* ModeText(bool dhcp) {
  return dhcp ? "dhcp" : "static";
}

bool ParseMode(const std::string& section, const std::string& key, const std::string& value) {
  if (SameText(value, "dhcp")) return true;
  if (SameText(value, "static")) return false;
  throw ENetworkStateError("network.ini: connection \"" + section + "\" has " + key + "=" + value +
                           "; it must be \"static\" or \"dhcp\".");
}

// Numbered keys (Dns1, Dns2, ...) up to the first missing one.
std::vector<std::string> ReadList(const IniFile::Entries& entries, const std::string& key,
                                  int first = 1) {
  std::vector<std::string> list;
  for (int i = first;; ++i) {
    const std::string name = key + std::to_string(i);
    bool found = false;
    for (const auto& [k, v] : entries) {
      if (SameText(k, name)) {
        list.push_back(v);
        found = true;
        break;
      }
    }
    if (!found) return list;
  }
}

std::string Value(const IniFile::Entries& entries, const std::string& key) {
  for (const auto& [k, v] : entries)
    if (SameText(k, key)) return v;
  return {};
}

void AddList(IniFile::Entries& entries, const std::string& key,
             const std::vector<std::string>& list, std::size_t first = 0) {
  for (std::size_t i = first; i < list.size(); ++i)
    entries.emplace_back(key + std::to_string(i + 1), list[i]);
}

int ReadNumber(const std::string& section, const std::string& key, const std::string& value) {
  int number = 0;
  auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (ec != std::errc() || end != value.data() + value.size())
    throw ENetworkStateError("network.ini: connection \"" + section + "\" has " + key + "=" +
                             value + "; it must be a number.");
  return number;
}

IniFile::Entries EntriesOf(const ConnectionState& c) {
  IniFile::Entries e;
  if (c.index > 0) e.emplace_back("Index", std::to_string(c.index));
  e.emplace_back("Description", c.description);
  e.emplace_back("PhysicalAddress", c.physicalAddress);
  e.emplace_back("Mode", ModeText(c.dhcp));
  for (std::size_t i = 0; i < c.addresses.size(); ++i) {
    e.emplace_back("Address" + std::to_string(i + 1), c.addresses[i].address);
    e.emplace_back("Mask" + std::to_string(i + 1), c.addresses[i].mask);
  }
  e.emplace_back("Gateway", c.gateway);
  e.emplace_back("GatewayMetric", std::to_string(c.gatewayMetric));
  e.emplace_back("DnsSource", ModeText(c.dnsFromDhcp));
  AddList(e, "Dns", c.dnsServers);
  e.emplace_back("WinsSource", ModeText(c.winsFromDhcp));
  // "Wins" alone, as before a connection could have more than one.
  e.emplace_back("Wins", c.winsServers.empty() ? std::string() : c.winsServers[0]);
  AddList(e, "Wins", c.winsServers, 1);
  e.emplace_back("DhcpAddress", c.dhcpLease.address);
  e.emplace_back("DhcpMask", c.dhcpLease.mask);
  e.emplace_back("DhcpGateway", c.dhcpGateway);
  e.emplace_back("DhcpServer", c.dhcpServer);
  AddList(e, "DhcpDns", c.dhcpDnsServers);
  e.emplace_back("DhcpWins", c.dhcpWinsServer);
  // The later settings only where they are not the default, so that a file of before reads
  // and writes as it was.
  if (!c.enabled) e.emplace_back("Enabled", "0");
  if (!c.dnsSuffix.empty()) e.emplace_back("DnsSuffix", c.dnsSuffix);
  if (c.ipv6) {
    e.emplace_back("IPv6", "on");
    e.emplace_back("RouterDiscovery", c.routerDiscovery ? "enabled" : "disabled");
    for (std::size_t i = 0; i < c.ipv6Addresses.size(); ++i)
      e.emplace_back(
          "IPv6Address" + std::to_string(i + 1),
          c.ipv6Addresses[i].address + "/" + std::to_string(c.ipv6Addresses[i].prefixLength));
    e.emplace_back("IPv6Gateway", c.ipv6Gateway);
    e.emplace_back("IPv6DnsSource", ModeText(c.ipv6DnsFromDhcp));
    AddList(e, "IPv6Dns", c.ipv6DnsServers);
    if (!c.routerAddress.address.empty())
      e.emplace_back("RouterAddress",
                     c.routerAddress.address + "/" + std::to_string(c.routerAddress.prefixLength));
    e.emplace_back("RouterGateway", c.routerGateway);
    AddList(e, "DhcpIPv6Dns", c.dhcpIpv6DnsServers);
  }
  if (c.wireless) {
    e.emplace_back("Wireless", "1");
    AddList(e, "WlanProfile", c.wlanProfiles);
    e.emplace_back("WlanConnected", c.wlanConnected);
  }
  return e;
}

Ipv6Entry Ipv6EntryOf(const std::string& section, const std::string& key,
                      const std::string& value) {
  const std::size_t slash = value.find('/');
  if (slash == std::string::npos) return {value, 64};
  return {value.substr(0, slash), ReadNumber(section, key, value.substr(slash + 1))};
}

ConnectionState ConnectionOf(const std::string& name, const IniFile::Entries& e) {
  ConnectionState c;
  c.name = name;
  c.description = Value(e, "Description");
  c.physicalAddress = Value(e, "PhysicalAddress");
  c.dhcp = ParseMode(name, "Mode", Value(e, "Mode"));
  const auto addresses = ReadList(e, "Address");
  const auto masks = ReadList(e, "Mask");
  for (std::size_t i = 0; i < addresses.size(); ++i)
    c.addresses.push_back({addresses[i], i < masks.size() ? masks[i] : std::string()});
  if (const std::string index = Value(e, "Index"); !index.empty())
    c.index = std::max(ReadNumber(name, "Index", index), 0);
  c.gateway = Value(e, "Gateway");
  if (const std::string metric = Value(e, "GatewayMetric"); !metric.empty())
    c.gatewayMetric = ReadNumber(name, "GatewayMetric", metric);
  c.dnsFromDhcp = ParseMode(name, "DnsSource", Value(e, "DnsSource"));
  c.dnsServers = ReadList(e, "Dns");
  c.winsFromDhcp = ParseMode(name, "WinsSource", Value(e, "WinsSource"));
  if (const std::string wins = Value(e, "Wins"); !wins.empty()) {
    c.winsServers = {wins};
    for (auto& further : ReadList(e, "Wins", 2)) c.winsServers.push_back(further);
  }
  c.dhcpLease = {Value(e, "DhcpAddress"), Value(e, "DhcpMask")};
  c.dhcpGateway = Value(e, "DhcpGateway");
  c.dhcpServer = Value(e, "DhcpServer");
  c.dhcpDnsServers = ReadList(e, "DhcpDns");
  c.dhcpWinsServer = Value(e, "DhcpWins");
  c.enabled = Value(e, "Enabled") != "0";
  c.dnsSuffix = Value(e, "DnsSuffix");
  c.ipv6 = SameText(Value(e, "IPv6"), "on");
  c.routerDiscovery = !SameText(Value(e, "RouterDiscovery"), "disabled");
  for (const std::string& a : ReadList(e, "IPv6Address"))
    c.ipv6Addresses.push_back(Ipv6EntryOf(name, "IPv6Address", a));
  c.ipv6Gateway = Value(e, "IPv6Gateway");
  c.ipv6DnsFromDhcp = Value(e, "IPv6DnsSource").empty() ||
                      ParseMode(name, "IPv6DnsSource", Value(e, "IPv6DnsSource"));
  c.ipv6DnsServers = ReadList(e, "IPv6Dns");
  if (const std::string a = Value(e, "RouterAddress"); !a.empty())
    c.routerAddress = Ipv6EntryOf(name, "RouterAddress", a);
  c.routerGateway = Value(e, "RouterGateway");
  c.dhcpIpv6DnsServers = ReadList(e, "DhcpIPv6Dns");
  c.wireless = Value(e, "Wireless") == "1";
  c.wlanProfiles = ReadList(e, "WlanProfile");
  c.wlanConnected = Value(e, "WlanConnected");
  return c;
}

}  // namespace

std::vector<AddressEntry> ConnectionState::EffectiveAddresses() const {
  if (!dhcp) return addresses;
  if (dhcpLease.address.empty()) return {};
  return {dhcpLease};
}

std::string ConnectionState::EffectiveGateway() const {
  return dhcp ? dhcpGateway : gateway;
}

std::vector<std::string> ConnectionState::EffectiveDnsServers() const {
  return dnsFromDhcp ? dhcpDnsServers : dnsServers;
}

std::vector<std::string> ConnectionState::EffectiveWinsServers() const {
  if (!winsFromDhcp) return winsServers;
  if (dhcpWinsServer.empty()) return {};
  return {dhcpWinsServer};
}

std::vector<Ipv6Entry> ConnectionState::EffectiveIpv6Addresses() const {
  std::vector<Ipv6Entry> list = ipv6Addresses;
  if (routerDiscovery && !routerAddress.address.empty()) list.push_back(routerAddress);
  return list;
}

std::string ConnectionState::EffectiveIpv6Gateway() const {
  if (!ipv6Gateway.empty()) return ipv6Gateway;
  return routerDiscovery ? routerGateway : std::string();
}

std::vector<std::string> ConnectionState::EffectiveIpv6DnsServers() const {
  return ipv6DnsFromDhcp ? dhcpIpv6DnsServers : ipv6DnsServers;
}

ConnectionState* NetworkState::Find(std::string_view name) {
  for (auto& c : connections)
    if (SameText(c.name, name)) return &c;
  return nullptr;
}

const ConnectionState* NetworkState::Find(std::string_view name) const {
  return const_cast<NetworkState*>(this)->Find(name);
}

ConnectionState* NetworkState::FindIndex(int index) {
  for (auto& c : connections)
    if (c.index == index) return &c;
  return nullptr;
}

NetworkState NetworkState::Default() {
  ConnectionState lan;
  lan.name = "LAN-Verbindung";
  lan.index = 12;
  lan.description = "Realtek RTL8139 Family PCI Fast Ethernet NIC";
  lan.physicalAddress = "00-0C-29-4F-8E-35";
  lan.dhcp = false;
  lan.addresses = {{"192.168.1.10", "255.255.255.0"}};
  lan.gateway = "192.168.1.1";
  lan.gatewayMetric = 0;
  lan.dnsServers = {"192.168.1.1", "192.168.1.2"};
  lan.dhcpLease = {"192.168.1.57", "255.255.255.0"};
  lan.dhcpGateway = "192.168.1.1";
  lan.dhcpServer = "192.168.1.1";
  lan.dhcpDnsServers = {"192.168.1.1"};

  ConnectionState wlan;
  wlan.name = "WLAN";
  wlan.index = 17;
  wlan.description = "Intel(R) PRO/Wireless 2200BG Network Connection";
  wlan.physicalAddress = "00-13-CE-2A-91-07";
  wlan.dhcp = true;
  wlan.dnsFromDhcp = true;
  wlan.winsFromDhcp = true;
  wlan.dhcpLease = {"192.168.0.105", "255.255.255.0"};
  wlan.dhcpGateway = "192.168.0.1";
  wlan.dhcpServer = "192.168.0.1";
  wlan.dhcpDnsServers = {"192.168.0.1"};

  NetworkState state;
  state.connections = {lan, wlan};
  return state;
}

NetworkState NetworkState::Load(const fs::path& file) {
  if (!ReadFileBytes(file.string()))
    throw ENetworkStateError(FormatMessage("Cannot open file %s", file.string()));
  IniFile ini(file.string());
  NetworkState state;
  for (const auto& section : ini.ReadSections()) {
    if (state.Find(section)) continue;  // a repeated section adds nothing, as Windows reads it
    state.connections.push_back(ConnectionOf(section, ini.ReadSectionValues(section)));
  }
  // An index taken by an earlier connection (a section copied by hand) counts as missing.
  int largest = 10;  // Windows gives low indexes to its own interfaces (loopback is 1)
  for (auto& c : state.connections) {
    if (state.FindIndex(c.index) != &c) c.index = 0;
    largest = std::max(largest, c.index);
  }
  for (auto& c : state.connections)
    if (c.index == 0) c.index = ++largest;
  return state;
}

NetworkState NetworkState::LoadOrCreate(const fs::path& file) {
  std::error_code ec;
  if (!fs::exists(file, ec)) {
    fs::create_directories(file.parent_path(), ec);
    NetworkState state = Default();
    state.Save(file);
    return state;
  }
  return Load(file);
}

void NetworkState::Save(const fs::path& file) const {
  // One write of the whole state, renamed over the file, so a reader never sees a state
  // that is half old, half new. Not flushed: Windows writes its network settings out lazily.
  std::string text;
  for (const auto& c : connections) {
    text += "[" + c.name + "]\r\n";
    for (const auto& [key, value] : EntriesOf(c)) text += key + "=" + value + "\r\n";
  }
  if (!WriteFileAtomic(file.string(), text, Durability::kLazy)) throw EFCreateError(file.string());
}

fs::path NetworkStatePath(const fs::path& hostRoot) {
  return hostRoot / kNetworkStateFileName;
}

namespace {

// "        Host Name . . . . . . . . . . . . : value" - dot leaders on the even columns
// after the label, the colon in one column for every label.
std::string Field(std::string_view label, std::string_view value) {
  constexpr std::size_t kColon = 34;  // counted from the label's first character
  std::string line(label);
  for (std::size_t p = line.size(); p < kColon - 1; ++p) line += p % 2 == 0 ? '.' : ' ';
  line = "        " + line + " : ";
  line += value;
  line += kCRLF;
  return line;
}

std::string Continuation(std::string_view value) {
  return std::string(44, ' ') + std::string(value) + kCRLF;
}

}  // namespace

std::string IpconfigAllReport(const NetworkState& state, const std::string& hostName) {
  std::string out = kCRLF;
  out += "Windows IP Configuration";
  out += kCRLF;
  out += kCRLF;
  out += Field("Host Name", hostName);
  out += Field("Primary Dns Suffix", "");
  out += Field("Node Type", "Hybrid");
  out += Field("IP Routing Enabled", "No");
  out += Field("WINS Proxy Enabled", "No");
  for (const auto& c : state.connections) {
    if (!c.enabled) continue;  // ipconfig leaves out an adapter switched off
    out += kCRLF;
    out += (c.wireless ? "Wireless LAN adapter " : "Ethernet adapter ") + c.name + ":";
    out += kCRLF;
    out += kCRLF;
    out += Field("Connection-specific DNS Suffix", c.dnsSuffix);
    out += Field("Description", c.description);
    out += Field("Physical Address", c.physicalAddress);
    out += Field("Dhcp Enabled", c.dhcp ? "Yes" : "No");
    if (c.dhcp) out += Field("Autoconfiguration Enabled", "Yes");
    for (const auto& a : c.EffectiveAddresses()) {
      out += Field("IP Address", a.address);
      out += Field("Subnet Mask", a.mask);
    }
    if (c.ipv6)
      for (const auto& a : c.EffectiveIpv6Addresses())
        out += Field("IPv6 Address", a.address + "(Preferred)");
    const std::string gateway6 = c.ipv6 ? c.EffectiveIpv6Gateway() : "";
    if (gateway6.empty()) {
      out += Field("Default Gateway", c.EffectiveGateway());
    } else {
      out += Field("Default Gateway", gateway6);
      if (!c.EffectiveGateway().empty()) out += Continuation(c.EffectiveGateway());
    }
    if (c.dhcp) out += Field("DHCP Server", c.dhcpServer);
    auto dns = c.ipv6 ? c.EffectiveIpv6DnsServers() : std::vector<std::string>{};
    for (const auto& server : c.EffectiveDnsServers()) dns.push_back(server);
    for (std::size_t i = 0; i < dns.size(); ++i)
      out += i == 0 ? Field("DNS Servers", dns[i]) : Continuation(dns[i]);
    const auto wins = c.EffectiveWinsServers();
    if (!wins.empty()) out += Field("Primary WINS Server", wins[0]);
    if (wins.size() > 1) out += Field("Secondary WINS Server", wins[1]);
  }
  return out;
}

}  // namespace lanvoy::standin
