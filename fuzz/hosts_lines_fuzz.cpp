// Hosts lines: the rows of a hosts file, written and read again, are the rows they were once
// a write has put them in the written form; no line written holds a line break, and every
// row written is one of the rows read.
#include <string>
#include <vector>

#include "apply/hosts_file.h"
#include "apply/hosts_lines.h"
#include "base/strings.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::vector<lanvoy::HostRow> read = lanvoy::FillHostsGrid(lanvoy::SplitLines(text));
  LANVOY_CHECK(!read.empty());
  const std::vector<std::string> written = lanvoy::HostsFileLines(read);
  for (const std::string& line : written)
    LANVOY_CHECK(line.find_first_of("\r\n") == std::string::npos);
  const std::vector<lanvoy::HostRow> again =
      lanvoy::FillHostsGrid(lanvoy::SplitLines(lanvoy::JoinLines(written)));
  const std::vector<std::string> rewritten = lanvoy::HostsFileLines(again);
  LANVOY_CHECK(rewritten == written);
  LANVOY_CHECK(lanvoy::FillHostsGrid(lanvoy::SplitLines(lanvoy::JoinLines(rewritten))) == again);
  return 0;
}
