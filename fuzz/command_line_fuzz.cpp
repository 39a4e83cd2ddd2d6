// The command-line splitter: arguments quoted and joined split back into the same
// arguments, and a split line joined and split again gives the same arguments.
#include <string>
#include <vector>

#include "base/command_line.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string line = in.ConsumeRandomLengthString(256);
  const std::vector<std::string> split = lanvoy::SplitCommandLine(line);
  LANVOY_CHECK(lanvoy::SplitCommandLine(lanvoy::JoinCommandLine(split)) == split);

  // Arguments without double quotes, which these rules cannot write.
  std::vector<std::string> args;
  while (in.remaining_bytes() > 0 && args.size() < 16) {
    std::string arg = in.ConsumeRandomLengthString(64);
    std::erase(arg, '"');
    args.push_back(std::move(arg));
  }
  LANVOY_CHECK(lanvoy::SplitCommandLine(lanvoy::JoinCommandLine(args)) == args);
  return 0;
}
