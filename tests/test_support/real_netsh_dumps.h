// The real dumps of Windows' netsh in tests/data/netsh-dumps, byte for byte (compiled in by
// tests/CMakeLists.txt).
#pragma once

#include <string_view>
#include <utility>

namespace lanvoy::test {

// The bytes of that file of tests/data/netsh-dumps; empty when there is none.
inline std::string_view RealDumpBytes(std::string_view file) {
  constexpr std::pair<std::string_view, std::string_view> kDumps[] = {
#include "real_netsh_dumps.inc"
  };
  for (const auto& [name, bytes] : kDumps)
    if (name == file) return bytes;
  return {};
}

}  // namespace lanvoy::test
