#include "apply/profile_script.h"

#include "base/strings.h"

namespace lanvoy {

namespace {
constexpr int kShowNormal = 1;  // SW_SHOWNORMAL
}

std::string ScriptExtension(int32_t kind) {
  static const char* const kExtensions[] = {".bat", ".vbs", ".js", ".ws"};
  return kind >= 0 && kind <= 3 ? kExtensions[kind] : "";
}

std::string ScriptFileName(int32_t kind) {
  return "Script" + ScriptExtension(kind);
}

void RunProfileScript(platform::Platform& platform, const std::vector<std::string>& lines,
                      int32_t kind) {
  if (lines.empty()) return;
  try {
    std::string why;
    auto folder = platform.system().MakeScratchFolder(why);
    if (!folder) return;
    // cmd reads a batch file line by line while it runs: the folder stays.
    folder->Keep();
    std::string text;
    for (const std::string& line : lines) text += line + kCRLF;
    if (!folder->Create(ScriptFileName(kind), text)) return;
    platform.shell().Open(folder->Path() + ScriptFileName(kind), "", "", kShowNormal);
  } catch (...) {
    // A script that cannot be written or started must not stop the apply.
  }
}

}  // namespace lanvoy
