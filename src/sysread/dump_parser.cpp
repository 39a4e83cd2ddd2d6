#include "sysread/dump_parser.h"

#include <optional>
#include <string_view>

#include "base/strings.h"

namespace lanvoy {

namespace {

std::string RemoveBlanks(std::string_view s) {
  std::string r;
  r.reserve(s.size());
  for (char c : s)
    if (c != ' ') r.push_back(c);
  return r;
}

bool Has(const std::string& line, std::string_view what) {
  return line.find(what) != std::string::npos;
}

void Store(std::string& field, std::string_view value) {
  field.assign(value.substr(0, kConnectionValueCapacity));
}

// The text right behind the first marker, up to (not including) the first occurrence of
// until in the line; nullopt without the marker. Without until: to the end when toEnd, else
// empty.
std::optional<std::string> Between(const std::string& line, std::string_view marker,
                                   std::string_view until, bool toEnd) {
  std::size_t at = line.find(marker);
  if (at == std::string::npos) return std::nullopt;
  std::size_t start = at + marker.size();
  std::size_t stop = until.empty() ? std::string::npos : line.find(until);
  if (stop == std::string::npos) return toEnd ? line.substr(start) : std::string();
  return stop > start ? line.substr(start, stop - start) : std::string();
}

// The address and its mask of an "…ADDR=a…MASK=m" line: the address ends at the first
// "MASK", the mask is everything after it and the one character behind it ("=").
struct AddressAndMask {
  std::string address;
  std::string mask;
};
std::optional<AddressAndMask> ReadAddressAndMask(const std::string& line) {
  std::size_t addr = line.find("ADDR=");
  std::size_t mask = line.find("MASK");
  if (addr == std::string::npos || mask == std::string::npos) return std::nullopt;
  std::size_t start = addr + 5;
  AddressAndMask result;
  if (mask > start) result.address = line.substr(start, mask - start);
  std::size_t rest = mask + 5;
  if (rest < line.size()) result.mask = line.substr(rest);
  return result;
}

void ApplySetRules(std::string line, TNetworkInfo& entry) {
  if (Has(line, "ADDRESS") && Has(line, "DHCP")) {
    entry.DHCP = true;
    entry.IP.clear();
    entry.Subnet.clear();
    entry.IP2.clear();
    entry.Subnet2.clear();
    entry.Gateway.clear();
    entry.GatewayMetric.clear();
  }
  if (Has(line, "ADDRESS") && Has(line, "STATIC")) {
    if (auto am = ReadAddressAndMask(line)) {
      entry.DHCP = false;
      Store(entry.IP, am->address);
      // The rules that follow see the line cut behind "MASK=".
      line = am->mask;
      Store(entry.Subnet, line);
    }
  }
  if (Has(line, "ADDRESS") && Has(line, "GATEWAY")) {
    entry.DHCP = false;
    Store(entry.Gateway, Between(line, "GATEWAY=", "GWMETRIC", false).value_or(""));
    Store(entry.GatewayMetric, Between(line, "GWMETRIC=", "", true).value_or(""));
  }
  if (Has(line, "DNS") && Has(line, "DHCP")) {
    entry.DHCP_DNS = true;
    entry.DNS.clear();
    entry.DNS2.clear();
  }
  if (Has(line, "DNS") && Has(line, "STATIC")) {
    entry.DHCP_DNS = false;
    Store(entry.DNS, Between(line, "ADDR=", "REGISTER", true).value_or(""));
  }
  if (Has(line, "WINS") && Has(line, "DHCP")) {
    entry.WINS.clear();
    entry.DHCP_WINS = true;
  }
  if (Has(line, "WINS") && Has(line, "STATIC")) {
    Store(entry.WINS, Between(line, "ADDR=", "", true).value_or(""));
    entry.DHCP_WINS = false;
  }
}

void ApplyAddRules(const std::string& line, TNetworkInfo& entry) {
  if (Has(line, "DNS")) {
    entry.DHCP_DNS = false;
    // Windows XP writes "add dns ... addr=X index=2": the index is no part of the address.
    std::string value = Between(line, "ADDR=", "REGISTER", true).value_or("");
    if (auto index = value.find("INDEX="); index != std::string::npos) value.erase(index);
    Store(entry.DNS2, value);
  }
  if (Has(line, "ADDRESS")) {
    if (auto am = ReadAddressAndMask(line)) {
      entry.DHCP = false;
      Store(entry.IP2, am->address);
      Store(entry.Subnet2, am->mask);
    }
  }
}

// A line's leading words (lower case) and the values of its "tag=value" parts (tags in lower
// case, values as written); a value in double quotes may hold blanks and "=".
struct DumpLine {
  std::vector<std::string> command;
  std::vector<std::pair<std::string, std::string>> tags;

  std::optional<std::string> Tag(std::string_view name) const {
    for (const auto& [tag, value] : tags)
      if (tag == name) return value;
    return std::nullopt;
  }
  // The connection the line names.
  std::optional<std::string> Connection() const {
    auto name = Tag("name");
    return name ? name : Tag("interface");
  }
};

DumpLine ReadWords(const std::string& line) {
  DumpLine result;
  auto blank = [&](std::size_t at) { return line[at] == ' ' || line[at] == '\t'; };
  std::size_t at = 0;
  while (true) {
    while (at < line.size() && blank(at)) ++at;
    if (at >= line.size()) return result;
    std::size_t end = at;
    while (end < line.size() && !blank(end) && line[end] != '=') ++end;
    std::string word = LowerCase(std::string_view(line).substr(at, end - at));
    at = end;
    while (at < line.size() && blank(at)) ++at;
    if (at >= line.size() || line[at] != '=') {
      if (result.tags.empty()) result.command.push_back(std::move(word));
      continue;
    }
    ++at;
    while (at < line.size() && blank(at)) ++at;
    std::string value;
    if (at < line.size() && line[at] == '"') {
      end = line.find('"', at + 1);
      if (end == std::string::npos) end = line.size();
      value = line.substr(at + 1, end - at - 1);
      at = end + 1;
    } else {
      end = at;
      while (end < line.size() && !blank(end)) ++end;
      value = line.substr(at, end - at);
      at = end;
    }
    result.tags.emplace_back(std::move(word), std::move(value));
  }
}

std::string JoinWords(const std::vector<std::string>& words, std::size_t from) {
  std::string joined;
  for (std::size_t i = from; i < words.size(); ++i)
    joined += (joined.empty() ? "" : " ") + words[i];
  return joined;
}

TNetworkInfo* FindConnection(TNetworkInfoSet& table, const std::string& name) {
  const std::string stored = name.substr(0, kConnectionNameCapacity);
  for (auto& entry : table)
    if (entry.LongLANDescription == stored) return &entry;
  return nullptr;
}

// The line without its first and second double quote and what stands between them.
std::string WithoutQuotedName(const std::string& line) {
  std::size_t first = line.find('"');
  if (first == std::string::npos) return line;
  std::size_t second = line.find('"', first + 1);
  if (second == std::string::npos) return line;
  return line.substr(0, first) + line.substr(second + 1);
}

}  // namespace

std::string ExtractConnectionName(const std::string& line) {
  std::size_t first = line.find('"');
  if (first == std::string::npos) return std::string();
  std::size_t second = line.find('"', first + 1);
  if (second == std::string::npos) return std::string();
  return line.substr(first + 1, second - first - 1);
}

std::size_t FindOrAddConnection(TNetworkInfoSet& table, const std::string& name) {
  if (TNetworkInfo* found = FindConnection(table, name))
    return static_cast<std::size_t>(found - table.data());
  TNetworkInfo entry;
  entry.LongLANDescription = name.substr(0, kConnectionNameCapacity);
  table.push_back(std::move(entry));
  return table.size() - 1;
}

TNetworkInfoSet ParseInterfaceDump(const std::vector<std::string>& lines) {
  TNetworkInfoSet table;
  std::vector<std::string> contexts;  // of the pushd lines not yet ended by popd
  for (const std::string& line : lines) {
    if (line.find('#') != std::string::npos) continue;
    const DumpLine words = ReadWords(line);
    if (words.command.empty()) continue;
    const std::string& verb = words.command[0];
    const std::string object = words.command.size() > 1 ? words.command[1] : "";
    if (verb == "pushd") {
      contexts.push_back(JoinWords(words.command, 1));
      continue;
    }
    if (verb == "popd") {
      if (!contexts.empty()) contexts.pop_back();
      continue;
    }
    // Only the contexts interface, interface ip and interface ipv4 configure addresses.
    if (!contexts.empty() && contexts.back() != "interface" && contexts.back() != "interface ip" &&
        contexts.back() != "interface ipv4")
      continue;
    // Windows XP's lines: the rules look for their words outside the name, so that a
    // connection called "Static LAN" or "Mask LAN" does not read as one.
    const std::string compact = UpperCase(RemoveBlanks(WithoutQuotedName(line)));
    const bool xpObject = object == "address" || object == "dns" || object == "wins";
    if (verb == "set" && xpObject && UpperCase(line.substr(0, 3)) == "SET") {
      ApplySetRules(compact, table[FindOrAddConnection(table, ExtractConnectionName(line))]);
      continue;
    }
    if (verb != "add") continue;
    // Windows 10's lines name their connection by a tag and set no mode: an address there
    // is a static one.
    if (object == "address" && words.Tag("address")) {
      const auto name = words.Connection();
      const auto mask = words.Tag("mask");
      if (!name || !mask) continue;
      TNetworkInfo& entry = table[FindOrAddConnection(table, *name)];
      entry.DHCP = false;
      const bool first = entry.IP.empty();
      Store(first ? entry.IP : entry.IP2, *words.Tag("address"));
      Store(first ? entry.Subnet : entry.Subnet2, *mask);
      continue;
    }
    if (object == "route") {
      const auto name = words.Connection();
      const auto gateway = words.Tag("nexthop");
      if (words.Tag("prefix") != "0.0.0.0/0" || !name || !gateway) continue;
      TNetworkInfo& entry = table[FindOrAddConnection(table, *name)];
      entry.DHCP = false;
      Store(entry.Gateway, *gateway);
      Store(entry.GatewayMetric, words.Tag("metric").value_or(""));
      continue;
    }
    // Windows XP adds to the connection a set-line made before; one without is left alone.
    if (object == "address" || object == "dns")
      if (TNetworkInfo* entry = FindConnection(table, ExtractConnectionName(line)))
        ApplyAddRules(compact, *entry);
  }
  return table;
}

}  // namespace lanvoy
