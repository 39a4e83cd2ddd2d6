// What the start of the program decides from its command line and marker files.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace lanvoy {

inline constexpr const char* kNoSplashMarker = "nosplash";
inline constexpr const char* kDebugMarker = "Debug";

struct StartupArguments {
  bool hasArguments = false;  // any argument at all: no pause on the splash window
  std::string profileName;    // argument 1
  bool hide = false;          // argument 2 is "hide" in any letter case
  // Safe apply's options, anywhere on the line: apply despite errors of the checks, undo the
  // last apply ("--undo [hide]") or go back to the state before the apply N applies ago
  // ("--undo N [hide]"), keep the settings of an apply waiting for it, and wait that many
  // seconds for "--keep" before the apply is undone.
  bool force = false, undo = false, keep = false;
  size_t undoBack = 1;  // how many applies back; 0 when given so
  bool help = false;    // "--help" or "/?": the usage
  int confirmWithin = 0;
  // "--handover TOKEN": the copy an apply from the window started with an administrator's
  // rights; the profile comes on the starter's channel, never a window.
  std::string handover;
  // "--current [NAME]": Get Current printed as a section of the store named NAME.
  bool current = false;
  std::string currentName = "Current";
  // The arguments without the options, as the window's logic reads them (argument 2
  // "hide" also for "--undo hide").
  std::vector<std::string> positional;
};

// args: the arguments after the program name; of those that are no option, only the first
// two count. A number after --confirm-within that is no positive number is ignored.
StartupArguments ParseStartupArguments(const std::vector<std::string>& args);

// A marker is a regular file of that name in the program directory; a folder does not count.
bool MarkerFileExists(const std::string& nativeProgramDirectory, const std::string& name);

// What "--help" prints: every command, option and exit code.
std::string UsageText();

// The message for a first argument that names no profile.
std::string ProfileNotFoundMessage(const std::string& name);

}  // namespace lanvoy
