// Where the simulated Windows host lives: the folder named by LANVOY_HOST, else host/ in
// the directory of the running program. The program and the stand-in tools use the same rule.
#pragma once

#include <filesystem>

namespace lanvoy::sim {

inline constexpr const char* kHostEnvironmentVariable = "LANVOY_HOST";

// The running program's full path (/proc/self/exe).
std::filesystem::path RunningProgramPath();

// Absolute host root; the folder is not created here.
std::filesystem::path ResolveHostRoot();

}  // namespace lanvoy::sim
