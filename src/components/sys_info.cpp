#include "components/sys_info.h"

namespace lanvoy {

namespace {
constexpr size_t kMaxPath = 260;  // the buffer GetWindowsDirectoryA is given
}

TSysInfo::TSysInfo(platform::System& system) : system_(system) {
  Collect();
}

void TSysInfo::SetLanguage(TLanguage value) {
  if (value == language_) return;
  language_ = value;
  Collect();
}

void TSysInfo::Collect() {
  std::string dir = system_.WindowsDirectory();
  const size_t nul = dir.find('\0');
  if (nul != std::string::npos) dir.resize(nul);
  // A directory that does not fit the buffer makes the call fail, which reads as "".
  if (dir.size() >= kMaxPath) dir.clear();
  windowsDirectory_ = dir;
}

std::string SystemProgram(platform::System& system, const std::string& file) {
  return "\"" + system.SystemDirectory() + "\\" + file + "\"";
}

}  // namespace lanvoy
