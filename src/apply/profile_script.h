// The profile's script: written as "Script" plus the kind's extension and handed to the
// shell, which starts it with the program registered for it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace lanvoy {

// ".bat", ".vbs", ".js", ".ws" for kinds 0..3; "" for any other kind.
std::string ScriptExtension(int32_t kind);
// "Script" and the extension.
std::string ScriptFileName(int32_t kind);
// Written in a scratch folder of its own, which stays for the script to run from (a later
// apply removes it), and handed to the shell. Does nothing for an empty script; never
// reports an error and does not wait.
void RunProfileScript(platform::Platform& platform, const std::vector<std::string>& lines,
                      int32_t kind);

}  // namespace lanvoy
