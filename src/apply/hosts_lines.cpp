#include "apply/hosts_lines.h"

namespace lanvoy {

std::optional<std::string> HostsLineOf(const HostRow& row) {
  if (row.HostName.empty() || row.IPAddress.empty()) return std::nullopt;
  return row.IPAddress + "   " + row.HostName + "   #" + row.Remark;
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

}  // namespace lanvoy
