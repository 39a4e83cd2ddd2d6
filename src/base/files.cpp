#include "base/files.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "base/error.h"
#include "base/strings.h"

namespace lanvoy {

namespace fs = std::filesystem;

namespace {
std::string TempNameFor(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  return path + ".~" + std::to_string(stamp % 1000000007) + "-" + std::to_string(counter++);
}
}  // namespace

std::optional<std::string> ReadFileBytes(const std::string& path) {
  std::error_code ec;
  if (fs::is_directory(fs::path(path), ec)) return std::nullopt;
  std::ifstream in(fs::path(path), std::ios::binary);
  if (!in) return std::nullopt;
  // One block read: a character-wise copy costs milliseconds on a store of some megabytes.
  std::string bytes;
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
    bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool WriteFileDirect(const std::string& path, const std::string& bytes) {
  std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.flush();
  return static_cast<bool>(out);
}

bool WriteFileAtomic(const std::string& path, const std::string& bytes) {
  const std::string temp = TempNameFor(path);
  if (!WriteFileDirect(temp, bytes)) {
    std::error_code ec;
    fs::remove(fs::path(temp), ec);
    return false;
  }
  std::error_code ec;
  fs::rename(fs::path(temp), fs::path(path), ec);
  if (ec) {
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

void WriteTextLines(const std::string& path, const std::vector<std::string>& lines) {
  if (!WriteFileAtomic(path, JoinLines(lines))) throw EFCreateError(path);
}

}  // namespace lanvoy
