#include "components/line_cutter.h"

namespace lanvoy {

void TLineCutter::Cut(std::string_view bytes, const Sink& raise,
                      const StopRequested& stopRequested) {
  std::string line = std::move(pending_);
  pending_.clear();
  const bool previousEndedWithCR = endedWithCR_;
  bool lastWasCR = false;
  size_t i = 0;
  while (i < bytes.size()) {
    if (stopRequested && stopRequested()) break;
    const char c = bytes[i];
    if (c == '\0') {
      lastWasCR = false;
      ++i;
      continue;
    }
    if (c == '\n' && i == 0 && previousEndedWithCR) {
      // The second half of a CR LF pair the previous read ended in the middle of.
      lastWasCR = false;
      ++i;
      continue;
    }
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
        returnCode_ = rcCRLF;
        lastWasCR = false;
        i += 2;
      } else {
        returnCode_ = rcLF;
        lastWasCR = (c == '\r');
        ++i;
      }
      raise(line, CompleteLine);
      line.clear();
      continue;
    }
    line += c;
    lastWasCR = false;
    ++i;
  }
  endedWithCR_ = lastWasCR;
  pending_ = std::move(line);
  if (!pending_.empty()) raise(pending_, PartialLine);
}

}  // namespace lanvoy
