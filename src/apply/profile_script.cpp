#include "apply/profile_script.h"

#include "base/files.h"

namespace lanvoy {

namespace {
constexpr int kShowNormal = 1;  // SW_SHOWNORMAL
}

std::string ScriptExtension(int32_t kind) {
  static const char* const kExtensions[] = {".bat", ".vbs", ".js", ".ws"};
  return kind >= 0 && kind <= 3 ? kExtensions[kind] : "";
}

std::string ScriptFileName(const std::string& programDirectory, int32_t kind) {
  return programDirectory + "Script" + ScriptExtension(kind);
}

void RunProfileScript(platform::Platform& platform, const std::string& programDirectory,
                      const std::vector<std::string>& lines, int32_t kind) {
  if (lines.empty()) return;
  const std::string path = ScriptFileName(programDirectory, kind);
  try {
    WriteTextLines(platform.system().NativePath(path), lines, Durability::kLazy);
    platform.shell().Open(path, "", "", kShowNormal);
  } catch (...) {
    // A script that cannot be written or started must not stop the apply.
  }
}

}  // namespace lanvoy
