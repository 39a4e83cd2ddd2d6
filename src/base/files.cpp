#include "base/files.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string_view>
#include <system_error>
#include <unordered_map>

#include "base/error.h"
#include "base/strings.h"
#include "platform/file_system.h"

namespace lanvoy {

namespace fs = std::filesystem;

namespace {

// "<name>.~<writer>-<n>": the writing process's id, so that a later write can tell a file
// left by a crashed writer from one that a running writer is still filling.
std::string TempNameFor(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  return path + ".~" + std::to_string(platform::CurrentProcessId()) + "-" +
         std::to_string(counter++);
}

// A write that has taken this long is taken for one whose writer hangs or whose process id
// came back to another program.
constexpr auto kTempFileAge = std::chrono::minutes(10);

bool AllDigits(std::string_view s) {
  return !s.empty() && s.size() <= 10 &&
         s.find_first_not_of("0123456789") == std::string_view::npos;
}

// The writer's id of a temporary file of target, nullopt for any other name.
std::optional<uint32_t> TempFileWriter(std::string_view name, std::string_view target) {
  if (name.size() <= target.size() + 2 || name.substr(0, target.size()) != target ||
      name.substr(target.size(), 2) != ".~")
    return std::nullopt;
  const std::string_view rest = name.substr(target.size() + 2);
  const std::size_t dash = rest.find('-');
  if (dash == std::string_view::npos || !AllDigits(rest.substr(0, dash)) ||
      !AllDigits(rest.substr(dash + 1)))
    return std::nullopt;
  const unsigned long long id = std::stoull(std::string(rest.substr(0, dash)));
  return id > UINT32_MAX ? 0u : static_cast<uint32_t>(id);
}

// Temporary files of target that earlier writes left behind when they were cut off. A folder
// is looked through at a process's first write of the file, and again after kTempFileAge: a
// listing on every write costs in proportion to the folder (thousands of files under a test).
void RemoveStaleTempFiles(const fs::path& target) {
  static std::mutex mutex;
  static std::unordered_map<std::string, std::chrono::steady_clock::time_point> swept;
  {
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard<std::mutex> lock(mutex);
    auto [it, first] = swept.try_emplace(target.string(), now);
    if (!first && now - it->second < kTempFileAge) return;
    it->second = now;
  }
  const std::string name = target.filename().string();
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::error_code ec;
  const auto now = fs::file_time_type::clock::now();
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const auto writer = TempFileWriter(it->path().filename().string(), name);
    if (!writer) continue;
    std::error_code timeEc;
    const auto written = fs::last_write_time(it->path(), timeEc);
    if (platform::ProcessRuns(*writer) && !timeEc && now - written < kTempFileAge) continue;
    std::error_code removeEc;
    fs::remove(it->path(), removeEc);
  }
}

// The file a path names after its symbolic links: a linked store is replaced where it lies,
// and the link stays. A path that names no link stays the string it was: the Windows file
// functions take it in the ANSI code page, which a round trip through fs::path need not keep.
std::string FinalTarget(const std::string& given) {
  std::error_code linkEc;
  if (!fs::is_symlink(fs::path(given), linkEc)) return given;
  fs::path path(given);
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code ec;
    if (!fs::is_symlink(path, ec)) break;
    fs::path next = fs::read_symlink(path, ec);
    if (ec) break;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return path.string();
}

}  // namespace

std::optional<std::string> ReadFileBytes(const std::string& path) {
  std::error_code ec;
  if (fs::is_directory(fs::path(path), ec)) return std::nullopt;
  std::ifstream in(fs::path(path), std::ios::binary);
  if (!in) return std::nullopt;
  // One read of the size the file has, then whatever it grew by meanwhile: a store of some
  // hundred megabytes read in blocks into a growing string is copied over and over.
  std::string bytes;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  if (size > 0) {
    bytes.resize(static_cast<std::size_t>(size));
    in.read(bytes.data(), size);
    bytes.resize(static_cast<std::size_t>(in.gcount()));
  }
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
    bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
  if (in.bad()) return std::nullopt;
  return bytes;
}

namespace {
bool refuseLinks = false;
}  // namespace

void RefuseLinkedFiles(bool refuse) {
  refuseLinks = refuse;
}

bool LinksRefused() {
  return refuseLinks;
}

bool AppendToFile(const std::string& path, const std::string& bytes) {
  return platform::AppendToFileOnDisk(path, bytes, refuseLinks);
}

bool WriteFileDirect(const std::string& path, const std::string& bytes) {
  if (refuseLinks && platform::IsLink(path)) return false;
  return platform::RewriteFileInPlace(path, bytes);
}

bool FolderTakesNewFiles(const std::string& path) {
  const std::string probe = TempNameFor(path);
  if (!platform::WriteNewFileToDisk(probe, "", false)) return false;
  std::error_code ec;
  fs::remove(fs::path(probe), ec);
  return true;
}

bool WriteFileAtomic(const std::string& path, const std::string& bytes, Durability durability) {
  const bool flush = durability == Durability::kOnDisk;
  // Refusing links, the name itself is replaced: a link put there after this check is
  // replaced by the rename, never followed.
  if (refuseLinks && platform::IsLink(path)) return false;
  const std::string target = refuseLinks ? path : FinalTarget(path);
  std::error_code ec;
  // A file marked read-only stays as it is, as Windows keeps it: the rename would replace it.
  const fs::file_status old = fs::status(fs::path(target), ec);
  constexpr fs::perms kWrite =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  if (!ec && fs::is_regular_file(old) && (old.permissions() & kWrite) == fs::perms::none)
    return false;
  RemoveStaleTempFiles(fs::path(target));
  const std::string temp = TempNameFor(target);
  if (!platform::WriteNewFileToDisk(temp, bytes, flush)) {
    fs::remove(fs::path(temp), ec);
    return false;
  }
  // The new file gets the old one's permissions, not the default of a new file.
  if (fs::is_regular_file(old))
    fs::permissions(fs::path(temp), old.permissions(), fs::perm_options::replace, ec);
  if (!platform::ReplaceFileOnDisk(temp, target, flush)) {
    fs::remove(fs::path(temp), ec);
    return false;
  }
  return true;
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(fs::path(path), ec);
}

bool DeleteFileAt(const std::string& path) {
  std::error_code ec;
  return fs::remove(fs::path(path), ec);
}

std::vector<std::string> ReadTextLines(const std::string& path) {
  auto bytes = ReadFileBytes(path);
  if (!bytes) throw EFOpenError(path);
  return SplitLines(*bytes);
}

void WriteTextLines(const std::string& path, const std::vector<std::string>& lines,
                    Durability durability) {
  if (!WriteFileAtomic(path, JoinLines(lines), durability)) throw EFCreateError(path);
}

}  // namespace lanvoy
