// The simulated registry's REGEDIT4 reader: a file read and written reads back as the same
// keys and values, and writing that gives the same file again.
#include <string>

#include "fuzz_support.h"
#include "platform/sim/registry.h"

namespace {

bool SameContent(const lanvoy::sim::RegistryFile& a, const lanvoy::sim::RegistryFile& b) {
  if (a.keys().size() != b.keys().size()) return false;
  for (std::size_t k = 0; k < a.keys().size(); ++k) {
    const auto& x = a.keys()[k];
    const auto& y = b.keys()[k];
    if (x.path != y.path || x.values.size() != y.values.size()) return false;
    for (std::size_t v = 0; v < x.values.size(); ++v)
      if (x.values[v].name != y.values[v].name || x.values[v].data != y.values[v].data)
        return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using lanvoy::sim::RegistryFile;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const RegistryFile first = RegistryFile::Parse(text);
  const std::string written = first.Serialize();
  const RegistryFile again = RegistryFile::Parse(written);
  LANVOY_CHECK(SameContent(first, again));
  LANVOY_CHECK(again.Serialize() == written);
  for (const auto& key : again.keys())
    for (const auto& value : key.values) {
      const auto decoded = RegistryFile::Decode(value.data);
      LANVOY_CHECK(decoded.has_value());
      // A string stored and read back is the same string.
      if (decoded->type == lanvoy::platform::ValueType::String) {
        const auto back = RegistryFile::Decode(RegistryFile::EncodeString(decoded->text));
        LANVOY_CHECK(back && back->text == decoded->text);
      }
    }
  return 0;
}
