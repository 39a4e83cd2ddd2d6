// The program options: section "Programm" of the options file beside the executable, the
// after-apply group and the autostart entry in the current user's Run key.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "profiles/ini_file.h"

namespace lanvoy {

inline constexpr const char* kOptionsSection = "Programm";
inline constexpr const char* kRunKey = "\\Software\\microsoft\\windows\\currentVersion\\Run";
inline constexpr const char* kRunValue = "Lanvoy";

// The three after-apply boxes "Terminate", "Minimize", "Stay open": at most one is ticked.
enum class AfterApply { Terminate, Minimize, NoAction };

struct AfterApplyGroup {
  bool Terminate = true;
  bool MinimizeAfterApply = false;
  bool NoActionAfterApply = false;

  bool& Box(AfterApply which);
  // A box changes its state: ticking one clears the other two; clearing changes nothing else.
  void Set(AfterApply which, bool ticked);
  bool operator==(const AfterApplyGroup&) const = default;
};

// The keys as they stand in the file (missing keys read as their defaults).
struct ProgramOptions {
  bool Terminate = true;
  bool MinimizeAfterApply = false;
  bool NoActionAfterApply = false;
  bool Trayicon = true;
  bool StartMin = false;
  std::string LANName = "Lan-Verbindung";
  bool NoValidationMessage = true;  // true: ask before applying
  bool operator==(const ProgramOptions&) const = default;
};

ProgramOptions ReadProgramOptions(const IniFile& ini);

// The boxes after loading: each key is set in turn, in the load order, through the group
// rule, starting from the design state; of several true keys the one read last stays.
AfterApplyGroup LoadAfterApplyGroup(const ProgramOptions& options);

// At destruction: StartMin, MinimizeAfterApply, Terminate, NoActionAfterApply, Trayicon,
// LANName. NoValidationMessage and the dialog flags are not written here.
void WriteProgramOptions(IniFile& ini, const ProgramOptions& options);

// "Show startup messages": both dialog flags become the opposite of show.
void WriteStartupMessages(IniFile& ini, bool show);
// "Ask before applying a profile".
void WriteAskBeforeApply(IniFile& ini, bool ask);

// The autostart value's data: the executable's full path between double quotes.
std::string AutostartData(const std::string& exePath);

// The fixed file version as "a.b.c.d".
std::string VersionText(const std::array<uint16_t, 4>& version);

}  // namespace lanvoy
