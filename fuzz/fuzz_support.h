// What the fuzz targets share: a property that does not hold ends the run as a crash
// (libFuzzer keeps the input), and a folder of this process for targets that need files.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "platform/file_system.h"

namespace lanvoy::fuzz {

[[noreturn]] inline void Broken(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, what);
  std::abort();
}

#define LANVOY_CHECK(condition) \
  ((condition) ? (void)0 : ::lanvoy::fuzz::Broken(#condition, __FILE__, __LINE__))

// A folder of this process, in memory where the machine has such a file system: every input
// writes files, and a flush to a disk would slow the run a hundredfold.
inline const std::filesystem::path& WorkFolder() {
  static const std::filesystem::path folder = [] {
    std::error_code ec;
    std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                     ? std::filesystem::path("/dev/shm")
                                     : std::filesystem::temp_directory_path();
    auto dir = base / ("lanvoy-fuzz-" + std::to_string(platform::CurrentProcessId()));
    std::filesystem::remove_all(dir, ec);
    std::filesystem::create_directories(dir);
    return dir;
  }();
  return folder;
}

// The names in the folder, for the check that a write left nothing beside its file.
inline std::size_t FilesIn(const std::filesystem::path& folder) {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

}  // namespace lanvoy::fuzz
