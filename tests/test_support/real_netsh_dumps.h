// The real dumps of Windows' netsh in tests/data/netsh-dumps, byte for byte, CR LF line ends
// and all (compiled in by tests/CMakeLists.txt).
#pragma once

#include <string_view>

namespace lanvoy::test {

struct RealNetshDump {
  std::string_view file;  // its name in tests/data/netsh-dumps
  std::string_view bytes;
};

inline constexpr RealNetshDump kRealNetshDumps[] = {
#include "real_netsh_dumps.inc"
};

// The bytes of that file; empty when there is no such file.
inline std::string_view RealDumpBytes(std::string_view file) {
  for (const auto& dump : kRealNetshDumps)
    if (dump.file == file) return dump.bytes;
  return {};
}

}  // namespace lanvoy::test
