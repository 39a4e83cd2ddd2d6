// Cuts the bytes of successive pipe reads into lines, the way the console capture raises
// them: complete lines without their line end, and the beginning of a line whose end has
// not arrived yet as a partial piece that grows with every read until it is complete.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace lanvoy {

enum TOutputType { CompleteLine = 0, PartialLine = 1 };
enum TReturnCode { rcCRLF = 0, rcLF = 1 };

class TLineCutter {
 public:
  // Receives each piece; for a complete line ReturnCode() tells how it ended.
  using Sink = std::function<void(const std::string& piece, TOutputType type)>;
  using StopRequested = std::function<bool()>;

  // Examines one read from its first byte. NUL bytes vanish; CR, LF or CR LF end a line;
  // an LF that starts a read right after a read ending in CR is dropped. Stops early when
  // stopRequested says so. Afterwards the unfinished rest becomes the pending line and, if
  // not empty, is raised as a partial piece.
  void Cut(std::string_view bytes, const Sink& raise, const StopRequested& stopRequested = {});

  // How the most recent complete line ended.
  TReturnCode ReturnCode() const { return returnCode_; }
  // The beginning of a line whose end has not arrived yet.
  const std::string& Pending() const { return pending_; }
  void SetPending(std::string line) { pending_ = std::move(line); }
  // The previous read ended with a CR.
  bool EndedWithCR() const { return endedWithCR_; }

 private:
  std::string pending_;
  bool endedWithCR_ = false;
  TReturnCode returnCode_ = rcCRLF;
};

}  // namespace lanvoy
