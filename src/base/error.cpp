#include "base/error.h"

namespace lanvoy {

std::string FormatMessage(const std::string& pattern, const std::string& arg) {
  std::string::size_type at = pattern.find("%s");
  if (at == std::string::npos) return pattern;
  return pattern.substr(0, at) + arg + pattern.substr(at + 2);
}

EFCreateError::EFCreateError(const std::string& path)
    : Error(FormatMessage("Cannot create file %s", path)) {}

EFOpenError::EFOpenError(const std::string& path)
    : Error(FormatMessage("Cannot open file %s", path)) {}

}  // namespace lanvoy
