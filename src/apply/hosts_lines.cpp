#include "apply/hosts_lines.h"

#include <algorithm>
#include <cctype>

namespace lanvoy {

std::optional<std::string> HostsLineOf(const HostRow& row) {
  // A row read from a line keeps the blanks before its "#" on the host name; written with
  // them, every read and write of the same row would add three more.
  const auto end = row.HostName.find_last_not_of(" \t");
  if (end == std::string::npos || row.IPAddress.empty()) return std::nullopt;
  return row.IPAddress + "   " + row.HostName.substr(0, end + 1) + "   #" + row.Remark;
}

HostRow ParseHostsLine(const std::string& line) {
  // Blanks and tabs both separate, and leading ones are skipped: hosts files written by
  // hand or by other tools use either, and a row read without its address is dropped by
  // the next apply.
  constexpr const char* kSeparators = " \t";
  HostRow row;
  const auto start = line.find_first_not_of(kSeparators);
  std::string rest = start == std::string::npos ? std::string() : line.substr(start);
  const auto separator = rest.find_first_of(kSeparators);
  if (separator != std::string::npos && rest[0] != '#') {
    row.IPAddress = rest.substr(0, separator);
    rest.erase(0, separator + 1);
  }
  const auto text = rest.find_first_not_of(kSeparators);
  rest.erase(0, text == std::string::npos ? rest.size() : text);
  auto hash = rest.find('#');
  if (hash == std::string::npos) {
    row.HostName = rest;
  } else {
    row.HostName = rest.substr(0, hash);
    row.Remark = rest.substr(hash + 1);
  }
  return row;
}

std::vector<HostRow> FillHostsGrid(const std::vector<std::string>& lines) {
  std::vector<HostRow> rows(1);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.empty() || line[0] == '#') continue;
    rows.back() = ParseHostsLine(line);
    if (i + 1 < lines.size()) rows.emplace_back();
  }
  return rows;
}

bool NamesLocalhost(const HostRow& row) {
  if (!HostsLineOf(row)) return false;
  // A line may give one address several names, separated as the address is.
  std::size_t at = 0;
  while ((at = row.HostName.find_first_not_of(" \t", at)) != std::string::npos) {
    const std::size_t end = std::min(row.HostName.find_first_of(" \t", at), row.HostName.size());
    std::string name = row.HostName.substr(at, end - at);
    for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (name == "localhost") return true;
    at = end;
  }
  return false;
}

}  // namespace lanvoy
