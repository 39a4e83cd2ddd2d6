// The command line of the netsh stand-in: "-f FILE" runs a script, "-c CONTEXT" names the
// starting context, and any other words are one command run in that context.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace lanvoy::standin {

// args without the program name. Console text goes to out; returns the exit code: 0 when
// every command succeeded, 1 otherwise. The network state is read from and saved to the
// host root.
int RunNetsh(const std::vector<std::string>& args, const std::filesystem::path& hostRoot,
             std::string& out);

}  // namespace lanvoy::standin
