// The profile's script: written as "Script" plus the kind's extension in the program
// directory and handed to the shell, which starts it with the program registered for it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace lanvoy {

// ".bat", ".vbs", ".js", ".ws" for kinds 0..3; "" for any other kind.
std::string ScriptExtension(int32_t kind);
std::string ScriptFileName(const std::string& programDirectory, int32_t kind);

// Does nothing for an empty script; never reports an error and does not wait.
void RunProfileScript(platform::Platform& platform, const std::string& programDirectory,
                      const std::vector<std::string>& lines, int32_t kind);

}  // namespace lanvoy
