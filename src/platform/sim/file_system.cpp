#include "platform/file_system.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>

namespace lanvoy::platform {

namespace {
bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool SyncFolderOf(const std::string& path) {
  std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  // Some file systems refuse fsync on a folder; the rename stands all the same.
  const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
  ::close(fd);
  return synced;
}
}  // namespace

bool WriteNewFileToDisk(const std::string& path, const std::string& bytes, bool flush) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, bytes.data(), bytes.size()) && (!flush || ::fsync(fd) == 0);
  return ::close(fd) == 0 && written;
}

bool ReplaceFileOnDisk(const std::string& from, const std::string& to, bool flush) {
  if (std::rename(from.c_str(), to.c_str()) != 0) return false;
  if (flush) SyncFolderOf(to);
  return true;
}

namespace {
bool WriteAt(int fd, const std::string& bytes) {
  return ::lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, bytes.data(), bytes.size());
}
}  // namespace

bool RewriteFileInPlace(const std::string& path, const std::string& bytes) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return false;
  std::string old;
  char buffer[1 << 16];
  for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return false;
    }
    old.append(buffer, static_cast<size_t>(n));
  }
  // The room first: a disk that cannot hold the new bytes leaves the old file whole.
  if (bytes.size() > old.size() &&
      ::posix_fallocate(fd, 0, static_cast<off_t>(bytes.size())) != 0) {
    if (::ftruncate(fd, static_cast<off_t>(old.size())) != 0) {
      // nothing more to undo: the size is what it was or larger with zeros
    }
    ::close(fd);
    return false;
  }
  bool ok = WriteAt(fd, bytes) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 &&
            ::fsync(fd) == 0;
  if (!ok) {
    // The old bytes back where the new ones did not all go.
    const bool back = WriteAt(fd, old) && ::ftruncate(fd, static_cast<off_t>(old.size())) == 0;
    ::fsync(fd);
    ok = false;
    (void)back;
  }
  return ::close(fd) == 0 && ok;
}

bool IsLink(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool AppendToFileOnDisk(const std::string& path, const std::string& bytes, bool refuseLinks) {
  const int fd =
      ::open(path.c_str(),
             O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | (refuseLinks ? O_NOFOLLOW : 0), 0666);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, bytes.data(), bytes.size());
  return ::close(fd) == 0 && written;
}

uint32_t CurrentProcessId() {
  return static_cast<uint32_t>(::getpid());
}

bool ProcessRuns(uint32_t id) {
  // 0 and what does not fit a pid would name process groups or nothing.
  if (id == 0 || id > static_cast<uint32_t>(INT_MAX)) return false;
  return ::kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM;
}

}  // namespace lanvoy::platform
