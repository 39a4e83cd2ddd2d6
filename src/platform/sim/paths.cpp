#include "platform/sim/paths.h"

#include <cctype>
#include <system_error>

#include "base/strings.h"

namespace lanvoy::sim {

namespace fs = std::filesystem;

std::optional<fs::path> FindEntryIgnoringCase(const fs::path& dir, const std::string& name) {
  std::error_code ec;
  if (fs::exists(dir / name, ec)) return dir / name;
  fs::directory_iterator it(dir, ec);
  if (ec) return std::nullopt;
  for (const auto& entry : it) {
    if (SameText(entry.path().filename().string(), name)) return entry.path();
  }
  return std::nullopt;
}

namespace {

bool IsDriveLetter(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

// Appends the backslash- or slash-separated parts of rest below base, taking the spelling
// of an existing entry where only the case differs.
std::string BelowRoot(fs::path base, const std::string& rest) {
  std::string part;
  bool exists = true;
  int depth = 0;  // ".." never climbs above the drive's root
  auto flush = [&] {
    if (part.empty() || part == ".") {
      part.clear();
      return;
    }
    if (part == "..") {
      if (depth > 0) {
        base = base.parent_path();
        --depth;
      }
    } else if (auto found = exists ? FindEntryIgnoringCase(base, part) : std::nullopt) {
      base = *found;
    } else {
      exists = false;
      base /= part;
    }
    if (part != "..") ++depth;
    part.clear();
  };
  for (char c : rest) {
    if (c == '\\' || c == '/')
      flush();
    else
      part.push_back(c);
  }
  flush();
  return base.string();
}

}  // namespace

std::string NativePathFor(const fs::path& root, const std::string& path) {
  if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':') {
    fs::path base = root;
    if (std::toupper(static_cast<unsigned char>(path[0])) != 'C')
      base /= std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(path[0]))));
    return BelowRoot(base, path.substr(2));
  }
  // One leading backslash is the root of the current drive; two start a network path.
  if (path.size() >= 1 && path[0] == '\\' && (path.size() == 1 || path[1] != '\\'))
    return BelowRoot(root, path.substr(1));
  return ReplaceAll(path, "\\", "/");
}

}  // namespace lanvoy::sim
