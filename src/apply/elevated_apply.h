// An apply chosen in a window whose process has no administrator's rights: the program
// starts itself with them for that one apply, unattended ("PROFILE" hide), waits for it and
// tells its outcome by the exit code. A refused permission changes nothing.
#pragma once

#include <string>

#include "platform/platform.h"
#include "profiles/profile_record.h"

namespace lanvoy {

struct ElevatedApplyReport {
  bool applied = false;  // the profile's settings are in place
  bool changed = false;  // something may have been changed (the copy ran)
  std::string message;   // for the window
};

// Whether an apply from the window goes through an elevated copy of the program.
bool AppliesElevated(platform::System& system);
// The copy's command line after the program name (the shell adds its handover): no profile
// name, which Windows' argument rules could split into other arguments.
std::string ElevatedApplyParameters();
// Runs the copy of exePath for the profile as the window shows it (record), handed over on a
// channel no other process of the user can change; name is the profile's.
ElevatedApplyReport ApplyElevated(platform::Shell& shell, const std::string& exePath,
                                  const std::string& profile, const ProfileRecord& record);

}  // namespace lanvoy
