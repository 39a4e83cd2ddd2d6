// One piece of captured output as a test records it.
#pragma once

#include <ostream>
#include <string>

#include "components/dos_command.h"

namespace lanvoy::test {

struct Piece {
  std::string text;
  TOutputType type;
  bool operator==(const Piece& o) const { return text == o.text && type == o.type; }
};

inline std::ostream& operator<<(std::ostream& os, const Piece& p) {
  return os << (p.type == CompleteLine ? "complete(" : "partial(") << p.text << ")";
}

}  // namespace lanvoy::test
