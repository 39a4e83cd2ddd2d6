// What the start of the program decides from its command line and marker files.
#pragma once

#include <string>
#include <vector>

namespace lanvoy {

inline constexpr const char* kNoSplashMarker = "nosplash";
inline constexpr const char* kDebugMarker = "Debug";

struct StartupArguments {
  bool hasArguments = false;  // any argument at all: no pause on the splash window
  std::string profileName;    // argument 1
  bool hide = false;          // argument 2 is "hide" in any letter case
};

// args: the arguments after the program name; only the first two count.
StartupArguments ParseStartupArguments(const std::vector<std::string>& args);

// A marker is a regular file of that name in the program directory; a folder does not count.
bool MarkerFileExists(const std::string& nativeProgramDirectory, const std::string& name);

// The message for a first argument that names no profile.
std::string ProfileNotFoundMessage(const std::string& name);

}  // namespace lanvoy
