#include "sysread/lan_state.h"

namespace lanvoy {

LanStateFeed::Step LanStateFeed::Accept(int tag, const std::string& piece, TOutputType type) {
  // An empty complete line is a blank line of the report; the cutter raises no empty partial.
  if (tag != kLanStateTag || (piece.empty() && type == PartialLine)) return {};
  std::string text;
  text.reserve(piece.size());
  for (size_t i = 0; i < piece.size(); ++i) {
    if (piece[i] == '\r' && i + 1 < piece.size() && piece[i + 1] == '\n') {
      ++i;
      continue;
    }
    text.push_back(piece[i]);
  }
  const Action action = lastWasPartial_ ? Action::ReplaceLast : Action::Append;
  lastWasPartial_ = type == PartialLine;
  return {action, std::move(text)};
}

}  // namespace lanvoy
