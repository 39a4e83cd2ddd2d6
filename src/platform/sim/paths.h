// How the simulated host maps the program's Windows paths onto this machine's files.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace lanvoy::sim {

// "C:\..." (any case) lies under the host root, another drive letter under <root>/<LETTER>,
// a path starting with one backslash under the root too; other backslashes become "/", and a
// native path stays as it is. Existing folders and files are matched without regard to case,
// as Windows would open them.
std::string NativePathFor(const std::filesystem::path& root, const std::string& path);

// The entry of dir whose name equals name without regard to ASCII case (the exact name wins).
std::optional<std::filesystem::path> FindEntryIgnoringCase(const std::filesystem::path& dir,
                                                           const std::string& name);

}  // namespace lanvoy::sim
