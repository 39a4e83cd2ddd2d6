// Errors carry the message the user sees; the window shows it in the standard error box.
#pragma once

#include <stdexcept>
#include <string>

namespace lanvoy {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "Cannot create file %s": a file could not be opened for writing.
class EFCreateError : public Error {
 public:
  explicit EFCreateError(const std::string& path);
};

// "Cannot open file %s": a file could not be opened for reading.
class EFOpenError : public Error {
 public:
  explicit EFOpenError(const std::string& path);
};

// Replaces the first "%s" of pattern by arg (the messages of this program have one).
std::string FormatMessage(const std::string& pattern, const std::string& arg);

}  // namespace lanvoy
