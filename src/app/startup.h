// What the start of the program decides from its command line and marker files.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace lanvoy {

inline constexpr const char* kNoSplashMarker = "nosplash";
inline constexpr const char* kDebugMarker = "Debug";

// What a start of the program is asked to do: the window (with or without a profile to
// apply), or one of the commands that end without a window.
enum class Command {
  Window,
  Undo,
  Keep,
  Help,
  Current,
  List,
  Show,
  Check,
  Export,
  Import,
  History
};

struct StartupArguments {
  bool hasArguments = false;  // any argument at all: no pause on the splash window
  Command command = Command::Window;
  std::string profileName;  // argument 1
  bool hide = false;        // argument 2 is "hide" in any letter case
  // Safe apply's options: apply despite errors of the checks, and wait that many seconds
  // for "--keep" before the apply is undone. "--undo [N] [hide]" goes back to the state
  // before the apply N applies ago (1: the last one; 0 when given so).
  bool force = false;
  int confirmWithin = 0;
  size_t undoBack = 1;
  // "--handover TOKEN": the copy an apply from the window started with an administrator's
  // rights; the profile comes on the starter's channel, never a window.
  std::string handover;
  // "--current [NAME]": Get Current printed as a section of the store named NAME.
  std::string currentName = "Current";
  // The profiles of --show, --check and --export; --export's --all and --to FILE.
  std::vector<std::string> names;
  bool all = false;
  std::string to;
  std::string importFile;  // --import FILE
  bool replace = false;    // --replace: an imported profile takes the place of one so named
  size_t historyLines = 10;
  bool json = false;  // one JSON document on standard output
  // Why the line cannot be run (an unknown option, a missing argument); the usage follows.
  std::string error;
  // The arguments without the options, as the window's logic reads them (argument 2
  // "hide" also for "--undo hide").
  std::vector<std::string> positional;
  // A command that ends without a window whatever else the line holds.
  bool Windowless() const;
};

// args: the arguments after the program name; of those that are no option, only the first
// two count; after "--" every argument is none. A line that cannot be run gets its error.
StartupArguments ParseStartupArguments(const std::vector<std::string>& args);

// A marker is a regular file of that name in the program directory; a folder does not count.
bool MarkerFileExists(const std::string& nativeProgramDirectory, const std::string& name);

// What "--help" prints: every command, option and exit code.
std::string UsageText();
// What an exit code of the program means, in a few words ("applied", ...).
std::string ExitCodeMeaning(int code);

// The message for a first argument that names no profile.
std::string ProfileNotFoundMessage(const std::string& name);

}  // namespace lanvoy
