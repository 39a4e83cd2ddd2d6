// Reads a netsh interface dump back into per-connection values with plain string checks,
// independent of the stand-in's own code, so the tests see what a reader of the dump sees.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace lanvoy::test {

struct DumpedConnection {
  std::string addressSource;  // "static" / "dhcp"
  std::vector<std::string> addresses;
  std::vector<std::string> masks;
  std::string gateway;
  std::string gwmetric;
  std::string dnsSource;
  std::vector<std::string> dns;
  std::string winsSource;
  std::string wins;
};

// Values of "key=value" words; the name's quotes are removed.
inline std::map<std::string, std::string> DumpWords(const std::string& line,
                                                    std::vector<std::string>& verbs) {
  std::map<std::string, std::string> values;
  std::size_t at = 0;
  while (at < line.size()) {
    std::size_t end;
    if (line.compare(at, 6, "name=\"") == 0) {
      end = line.find('"', at + 6) + 1;
    } else {
      end = line.find(' ', at);
      if (end == std::string::npos) end = line.size();
    }
    std::string word = line.substr(at, end - at);
    auto eq = word.find('=');
    if (eq == std::string::npos) {
      verbs.push_back(word);
    } else {
      std::string value = word.substr(eq + 1);
      if (value.size() >= 2 && value.front() == '"') value = value.substr(1, value.size() - 2);
      values[word.substr(0, eq)] = value;
    }
    at = end + 1;
  }
  return values;
}

inline std::map<std::string, DumpedConnection> ReadDump(const std::string& dump) {
  std::map<std::string, DumpedConnection> result;
  std::size_t start = 0;
  while (start < dump.size()) {
    std::size_t end = dump.find("\r\n", start);
    if (end == std::string::npos) end = dump.size();
    const std::string line = dump.substr(start, end - start);
    start = end + 2;
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> verbs;
    auto v = DumpWords(line, verbs);
    if (verbs.size() != 2 || !v.count("name")) continue;
    auto& c = result[v["name"]];
    const std::string what = verbs[0] + " " + verbs[1];
    if (what == "set address" && v.count("source")) {
      c.addressSource = v["source"];
      if (v.count("addr")) {
        c.addresses = {v["addr"]};
        c.masks = {v["mask"]};
      }
    } else if (what == "set address" && v.count("gateway")) {
      c.gateway = v["gateway"];
      c.gwmetric = v["gwmetric"];
    } else if (what == "add address") {
      c.addresses.push_back(v["addr"]);
      c.masks.push_back(v["mask"]);
    } else if (what == "set dns") {
      c.dnsSource = v["source"];
      c.dns.clear();
      if (v.count("addr")) c.dns.push_back(v["addr"]);
    } else if (what == "add dns") {
      c.dns.push_back(v["addr"]);
    } else if (what == "set wins") {
      c.winsSource = v["source"];
      c.wins = v.count("addr") ? v["addr"] : "";
    }
  }
  return result;
}

}  // namespace lanvoy::test
