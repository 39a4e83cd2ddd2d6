#include "platform/sim/scratch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>
#include <vector>

#include "platform/file_system.h"
#include "platform/sim/host.h"

namespace lanvoy::sim {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPrefix = "Lanvoy-";

// A kept folder whose maker has ended is removed after this long (its script had time).
constexpr auto kKeptFor = std::chrono::minutes(10);

class SimScratchFolder : public platform::ScratchFolder {
 public:
  SimScratchFolder(fs::path native, std::string windowsPath)
      : native_(std::move(native)), path_(std::move(windowsPath)) {}
  ~SimScratchFolder() override {
    for (int fd : held_) close(fd);
    if (kept_) return;
    std::error_code ec;
    fs::remove_all(native_, ec);
  }
  const std::string& Path() const override { return path_; }
  bool Create(const std::string& name, const std::string& bytes) override {
    if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos) return false;
    // New, and never through a link: what stands at the name was not made here.
    const int fd =
        open((native_ / name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    held_.push_back(fd);
    for (size_t done = 0; done < bytes.size();) {
      const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }
  void Keep() override { kept_ = true; }

 private:
  fs::path native_;
  std::string path_;
  std::vector<int> held_;
  bool kept_ = false;
};

// Folders of makers that have ended, left for a script, once they are old enough.
void RemoveLeftovers(const fs::path& temp) {
  std::error_code ec;
  const auto now = fs::file_time_type::clock::now();
  for (const auto& entry : fs::directory_iterator(temp, ec)) {
    const std::string leaf = entry.path().filename().string();
    if (leaf.rfind(kPrefix, 0) != 0 || !entry.is_directory(ec)) continue;
    const uint32_t maker = static_cast<uint32_t>(std::strtoul(leaf.c_str() + 7, nullptr, 10));
    if (platform::ProcessRuns(maker)) continue;
    const auto written = fs::last_write_time(entry.path(), ec);
    if (!ec && now - written > kKeptFor) fs::remove_all(entry.path(), ec);
  }
}

}  // namespace

std::unique_ptr<platform::ScratchFolder> MakeScratchFolder(const fs::path& root,
                                                           std::string& message) {
  const fs::path temp = root / kWindowsFolder / "Temp";
  std::error_code ec;
  fs::create_directories(temp, ec);
  RemoveLeftovers(temp);
  std::string pattern =
      (temp / (kPrefix + std::to_string(platform::CurrentProcessId()) + "-XXXXXX")).string();
  // mkdtemp makes it new, of mode 0700: only this user may enter.
  if (!mkdtemp(pattern.data())) {
    message = "Cannot create a folder in " + temp.string() + ": " + std::strerror(errno);
    return nullptr;
  }
  const fs::path made(pattern);
  return std::make_unique<SimScratchFolder>(
      made, std::string(kWindowsDirectory) + "\\Temp\\" + made.filename().string() + "\\");
}

}  // namespace lanvoy::sim
