// The interface dump parser: whatever the dump, every field keeps to its capacity and no
// two connections of the table have the same name.
#include <set>
#include <string>
#include <vector>

#include "base/strings.h"
#include "fuzz_support.h"
#include "sysread/dump_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = lanvoy::SplitLines(text);
  const lanvoy::TNetworkInfoSet table = lanvoy::ParseInterfaceDump(lines);
  std::set<std::string> names;
  for (const lanvoy::TNetworkInfo& c : table) {
    LANVOY_CHECK(c.LongLANDescription.size() <= lanvoy::kConnectionNameCapacity);
    LANVOY_CHECK(names.insert(c.LongLANDescription).second);
    for (const std::string* field :
         {&c.IP, &c.Subnet, &c.IP2, &c.Subnet2, &c.Gateway, &c.DNS, &c.DNS2, &c.WINS})
      LANVOY_CHECK(field->size() <= lanvoy::kConnectionValueCapacity);
  }
  // Every connection stems from a line that names it.
  LANVOY_CHECK(table.size() <= lines.size());
  return 0;
}
