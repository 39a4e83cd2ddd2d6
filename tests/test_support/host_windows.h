// Which Windows the simulated hosts a test makes play ("xp" or "10"): set while the object
// lives, the value before it put back after. Declared before the host it decides.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace lanvoy::test {

class HostWindows {
 public:
  explicit HostWindows(const std::string& windows) {
    if (const char* was = std::getenv(kVariable)) before_ = was;
    setenv(kVariable, windows.c_str(), 1);
  }
  ~HostWindows() {
    if (before_)
      setenv(kVariable, before_->c_str(), 1);
    else
      unsetenv(kVariable);
  }
  HostWindows(const HostWindows&) = delete;
  HostWindows& operator=(const HostWindows&) = delete;

 private:
  static constexpr const char* kVariable = "LANVOY_SIM_WINDOWS";
  std::optional<std::string> before_;
};

}  // namespace lanvoy::test
