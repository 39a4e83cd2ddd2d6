// What the LAN state view shows: a fixed head, then the console output of "ipconfig /all"
// line by line as it arrives.
#pragma once

#include <string>

#include "components/line_cutter.h"

namespace lanvoy {

inline constexpr const char* kLanStateCaption =
    "Current network configuration of this PC (ipconfig /all)";
inline constexpr const char* kLanStateHead =
    "Reading network details (ipconfig /all). \r\nPlease wait. This may take some seconds ... "
    "\r\n-------------------------------------------\r\n";
// The capture's Tag while its lines belong to the view.
inline constexpr int kLanStateTag = 1;

// Decides what one piece of output does to the view's text. A line whose end arrives in a
// later read comes first as its beginning, then whole: the whole line replaces the
// beginning instead of standing below it.
class LanStateFeed {
 public:
  enum class Action { Ignore, Append, ReplaceLast };
  struct Step {
    Action action = Action::Ignore;
    std::string text;
  };

  // Forget any beginning shown: the view starts over.
  void Reset() { lastWasPartial_ = false; }
  Step Accept(int tag, const std::string& piece, TOutputType type);

 private:
  bool lastWasPartial_ = false;
};

}  // namespace lanvoy
