// TSysInfo: facts about the computer, collected when the component is created. The program
// uses one of them, the Windows directory, to build the hosts file path.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace lanvoy {

enum TLanguage { lgFrench, lgEnglish };

class TSysInfo {
 public:
  explicit TSysInfo(platform::System& system);

  uint32_t Information() const { return information_; }
  void SetInformation(uint32_t value) { information_ = value; }
  TLanguage Language() const { return language_; }
  // A different language collects the language-dependent facts again.
  void SetLanguage(TLanguage value);

  // As the system reports it (normally without a trailing backslash); "" when it fails.
  const std::string& WindowsDirectory() const { return windowsDirectory_; }

 private:
  void Collect();

  platform::System& system_;
  uint32_t information_ = 0;
  TLanguage language_ = lgFrench;
  std::string windowsDirectory_;
};

// A program of Windows' own by its full path in the system folder, quoted for a command
// line: a bare name would be looked for in the program's folder first.
std::string SystemProgram(platform::System& system, const std::string& file);

}  // namespace lanvoy
