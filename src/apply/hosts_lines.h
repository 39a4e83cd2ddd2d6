// Host rows and their text form, shared by the hosts file and the profile store:
// IP address, three blanks, host name, three blanks, "#", remark.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lanvoy {

struct HostRow {
  std::string HostName;
  std::string IPAddress;
  std::string Remark;
  bool operator==(const HostRow&) const = default;
};

// The hosts line of a row, or nullopt for a row that is not written (empty host name or
// empty IP address). Blanks and tabs at the end of the host name are not written.
std::optional<std::string> HostsLineOf(const HostRow& row);

// Splits at blanks and tabs, leading ones skipped: the address, then the host name up to the
// first "#" (blanks before it kept), then the remark.
HostRow ParseHostsLine(const std::string& line);

// The grid's rows after filling it with these lines: empty lines and lines beginning with
// "#" are skipped, every other line becomes a row; the grid keeps at least one row, and a
// list that ends in skipped lines leaves an empty row at the end.
std::vector<HostRow> FillHostsGrid(const std::vector<std::string>& lines);

// Whether a row that is written maps the name "localhost" (any case), one of its names.
bool NamesLocalhost(const HostRow& row);

}  // namespace lanvoy
