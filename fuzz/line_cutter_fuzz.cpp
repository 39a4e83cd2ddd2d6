// The console line cutter: the output cut into reads anywhere gives the same complete lines,
// and the same unfinished rest, as the output in one read.
#include <string>
#include <vector>

#include "components/line_cutter.h"
#include "fuzz_support.h"

namespace {

struct Result {
  std::vector<std::string> lines;
  std::string pending;
};

Result CutInto(const std::string& output, const std::vector<std::size_t>& cuts) {
  lanvoy::TLineCutter cutter;
  Result result;
  auto sink = [&](const std::string& piece, lanvoy::TOutputType type) {
    if (type == lanvoy::CompleteLine) result.lines.push_back(piece);
  };
  std::size_t from = 0;
  for (std::size_t cut : cuts) {
    // A pipe read gives at least one byte.
    if (cut <= from || cut >= output.size()) continue;
    cutter.Cut(std::string_view(output).substr(from, cut - from), sink);
    from = cut;
  }
  if (from < output.size()) cutter.Cut(std::string_view(output).substr(from), sink);
  result.pending = cutter.Pending();
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  std::vector<std::size_t> cuts;
  const std::size_t count = in.ConsumeIntegralInRange<std::size_t>(0, 32);
  for (std::size_t i = 0; i < count; ++i)
    cuts.push_back(in.ConsumeIntegralInRange<std::size_t>(0, 4096));
  std::sort(cuts.begin(), cuts.end());
  const std::string output = in.ConsumeRemainingBytesAsString();
  const Result whole = CutInto(output, {});
  const Result pieces = CutInto(output, cuts);
  LANVOY_CHECK(pieces.lines == whole.lines);
  LANVOY_CHECK(pieces.pending == whole.pending);
  for (const std::string& line : whole.lines)
    LANVOY_CHECK(line.find_first_of(std::string("\r\n\0", 3)) == std::string::npos);
  return 0;
}
