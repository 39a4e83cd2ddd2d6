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
  const std::string stored = name.substr(0, kConnectionNameCapacity);
  for (std::size_t i = 0; i < table.size(); ++i)
    if (table[i].LongLANDescription == stored) return i;
  TNetworkInfo entry;
  entry.LongLANDescription = stored;
  table.push_back(std::move(entry));
  return table.size() - 1;
}

TNetworkInfoSet ParseInterfaceDump(const std::vector<std::string>& lines) {
  TNetworkInfoSet table;
  std::optional<std::size_t> current;
  for (const std::string& line : lines) {
    if (line.find('#') != std::string::npos) continue;
    // The rules look for their words outside the name: a connection called "Static LAN" or
    // "Mask LAN" must not read as one.
    const std::string compact = UpperCase(RemoveBlanks(WithoutQuotedName(line)));
    if (line.size() >= 3 && UpperCase(line.substr(0, 3)) == "SET") {
      current = FindOrAddConnection(table, ExtractConnectionName(line));
      ApplySetRules(compact, table[*current]);
    }
    // An add-line before any set-line has no connection to belong to.
    if (compact.rfind("ADD", 0) == 0 && current) ApplyAddRules(compact, table[*current]);
  }
  return table;
}

}  // namespace lanvoy
