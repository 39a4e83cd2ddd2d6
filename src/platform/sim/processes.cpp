#include "platform/sim/processes.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <thread>

#include "base/command_line.h"
#include "base/strings.h"
#include "platform/sim/host.h"
#include "platform/sim/host_root.h"
#include "platform/sim/paths.h"

extern char** environ;

namespace lanvoy::sim {

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kErrorInvalidHandle = 6;
constexpr uint32_t kErrorNotEnoughMemory = 8;
constexpr uint32_t kErrorTooManyOpenFiles = 4;
constexpr uint32_t kErrorGenFailure = 31;
constexpr uint32_t kErrorBadExeFormat = 193;

bool EndsWithIgnoringCase(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() && SameText(s.substr(s.size() - suffix.size()), suffix);
}

bool IsBatchFileName(const std::string& name) {
  return EndsWithIgnoringCase(name, ".bat") || EndsWithIgnoringCase(name, ".cmd");
}

bool IsRegularFile(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

uint32_t SpawnError(int err) {
  switch (err) {
    case ENOENT:
      return kErrorFileNotFound;
    case ENOTDIR:
      return kErrorPathNotFound;
    case EACCES:
    case EPERM:
      return kErrorAccessDenied;
    case ENOEXEC:
      return kErrorBadExeFormat;
    case ENOMEM:
    case E2BIG:
      return kErrorNotEnoughMemory;
    case EMFILE:
    case ENFILE:
      return kErrorTooManyOpenFiles;
    default:
      return kErrorGenFailure;
  }
}

// Closes SIGPIPE off for one write, so a reader that went away gives an error, not a signal.
class SigpipeBlock {
 public:
  SigpipeBlock() {
    sigemptyset(&set_);
    sigaddset(&set_, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &set_, &old_);
  }
  ~SigpipeBlock() {
    if (broken_) {
      timespec zero{0, 0};
      sigtimedwait(&set_, nullptr, &zero);
    }
    pthread_sigmask(SIG_SETMASK, &old_, nullptr);
  }
  void Broken() { broken_ = true; }

 private:
  sigset_t set_{};
  sigset_t old_{};
  bool broken_ = false;
};

}  // namespace

// The exact name, then without regard to case, then without ".exe"; folders do not count.
std::optional<fs::path> FindFileIn(const fs::path& dir, const std::string& name) {
  if (name.empty()) return std::nullopt;
  if (auto found = FindEntryIgnoringCase(dir, name); found && IsRegularFile(*found)) return found;
  if (EndsWithIgnoringCase(name, ".exe") && name.size() > 4) {
    auto found = FindEntryIgnoringCase(dir, name.substr(0, name.size() - 4));
    if (found && IsRegularFile(*found)) return found;
  }
  return std::nullopt;
}

std::vector<fs::path> ProgramSearchDirs() {
  std::vector<fs::path> dirs;
  if (auto exe = RunningProgramPath(); !exe.empty()) dirs.push_back(exe.parent_path());
  std::error_code ec;
  if (auto cwd = fs::current_path(ec); !ec) dirs.push_back(cwd);
  if (const char* path = std::getenv("PATH")) {
    std::string entry;
    for (const char* p = path;; ++p) {
      if (*p == ':' || *p == '\0') {
        if (!entry.empty()) dirs.emplace_back(entry);
        entry.clear();
        if (*p == '\0') break;
      } else {
        entry.push_back(*p);
      }
    }
  }
  return dirs;
}

bool HasDirectoryPart(const std::string& name) {
  return name.find_first_of("\\/") != std::string::npos || (name.size() >= 2 && name[1] == ':');
}

ProgramLookup FindFile(const std::string& name, bool hasDirectory,
                       const std::vector<fs::path>& dirs) {
  ProgramLookup result;
  std::optional<fs::path> found;
  if (hasDirectory) {
    fs::path p(name);
    fs::path dir = p.parent_path().empty() ? fs::path(".") : p.parent_path();
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
      result.error = kErrorPathNotFound;
      return result;
    }
    found = FindFileIn(dir, p.filename().string());
  } else {
    for (const auto& dir : dirs) {
      if ((found = FindFileIn(dir, name))) break;
    }
  }
  if (!found)
    result.error = kErrorFileNotFound;
  else
    result.path = *found;
  return result;
}

ProgramLookup FindProgram(const std::string& name, bool hasDirectory,
                          const std::vector<fs::path>& dirs) {
  ProgramLookup result = FindFile(name, hasDirectory, dirs);
  if (result.error == 0 && access(result.path.c_str(), X_OK) != 0) {
    result.path.clear();
    result.error = kErrorAccessDenied;
  }
  return result;
}

// ---------------------------------------------------------------- SimPipe

std::unique_ptr<SimPipe> SimPipe::Create(uint32_t& error) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    error = (errno == EMFILE || errno == ENFILE) ? kErrorTooManyOpenFiles : kErrorNotEnoughMemory;
    return nullptr;
  }
  error = 0;
  return std::unique_ptr<SimPipe>(new SimPipe(fds[0], fds[1]));
}

SimPipe::~SimPipe() {
  CloseReadEnd();
  CloseWriteEnd();
}

bool SimPipe::Peek(char* buffer, uint32_t size, uint32_t& copied, uint32_t& available) {
  std::lock_guard lock(mutex_);
  copied = available = 0;
  if (readFd_ < 0) return false;
  int waiting = 0;
  if (ioctl(readFd_, FIONREAD, &waiting) != 0) return false;
  // Take what the caller asks to see out of the pipe; Read hands it out later.
  if (waiting > 0 && pending_.size() < size) {
    std::size_t want =
        std::min<std::size_t>(static_cast<std::size_t>(waiting), size - pending_.size());
    std::string chunk(want, '\0');
    ssize_t got = read(readFd_, chunk.data(), want);
    if (got > 0) {
      pending_.append(chunk.data(), static_cast<std::size_t>(got));
      waiting -= static_cast<int>(got);
    }
  }
  copied = static_cast<uint32_t>(std::min<std::size_t>(size, pending_.size()));
  if (copied > 0 && buffer) std::memcpy(buffer, pending_.data(), copied);
  available = static_cast<uint32_t>(pending_.size()) + static_cast<uint32_t>(waiting);
  if (available == 0) {
    pollfd p{readFd_, POLLIN, 0};
    if (poll(&p, 1, 0) > 0 && (p.revents & POLLHUP)) return false;  // writer gone, all read
  }
  return true;
}

bool SimPipe::Read(char* buffer, uint32_t size, uint32_t& got) {
  got = 0;
  int fd;
  {
    std::lock_guard lock(mutex_);
    fd = readFd_;
    if (fd < 0) return false;
    if (size == 0) return true;
    if (!pending_.empty()) {
      std::size_t n = std::min<std::size_t>(size, pending_.size());
      std::memcpy(buffer, pending_.data(), n);
      pending_.erase(0, n);
      got = static_cast<uint32_t>(n);
      // Add what else is waiting, without blocking, so one read takes everything.
      int waiting = 0;
      if (got < size && ioctl(fd, FIONREAD, &waiting) == 0 && waiting > 0) {
        std::size_t more = std::min<std::size_t>(size - got, static_cast<std::size_t>(waiting));
        ssize_t r = read(fd, buffer + got, more);
        if (r > 0) got += static_cast<uint32_t>(r);
      }
      return true;
    }
  }
  ssize_t r;
  do {
    r = read(fd, buffer, size);
  } while (r < 0 && errno == EINTR);
  if (r <= 0) return false;  // the end of the output, or a closed end
  got = static_cast<uint32_t>(r);
  return true;
}

bool SimPipe::Write(const char* data, uint32_t size, uint32_t& written) {
  written = 0;
  int fd;
  {
    std::lock_guard lock(mutex_);
    fd = writeFd_;
  }
  if (fd < 0) return false;
  SigpipeBlock block;
  while (written < size) {
    ssize_t r = write(fd, data + written, size - written);
    if (r < 0) {
      if (errno == EINTR) continue;
      if (errno == EPIPE) block.Broken();
      return false;
    }
    written += static_cast<uint32_t>(r);
  }
  return true;
}

void SimPipe::CloseReadEnd() {
  std::lock_guard lock(mutex_);
  if (readFd_ >= 0) close(readFd_);
  readFd_ = -1;
  pending_.clear();
}

void SimPipe::CloseWriteEnd() {
  std::lock_guard lock(mutex_);
  if (writeFd_ >= 0) close(writeFd_);
  writeFd_ = -1;
}

// ---------------------------------------------------------------- SimProcess

SimProcess::~SimProcess() {
  if (!Reap(false)) {
    int pid = pid_;
    std::thread([pid] {
      int status;
      while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
    }).detach();
  }
}

bool SimProcess::Reap(bool block) {
  {
    // Once collected, the pid may already belong to another process: never wait on it again.
    std::lock_guard lock(mutex_);
    if (ended_) return true;
  }
  if (block) {
    // Wait for the end without collecting it, so Terminate from another thread is not held up.
    siginfo_t info{};
    while (waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOWAIT) < 0 && errno == EINTR) {
    }
  }
  std::lock_guard lock(mutex_);
  if (ended_) return true;
  int status = 0;
  pid_t r;
  do {
    r = waitpid(pid_, &status, WNOHANG);
  } while (r < 0 && errno == EINTR);
  if (r == 0) return false;
  ended_ = true;
  if (r < 0) {
    exitCode_ = terminatedWith_.value_or(0);  // collected elsewhere: its status is lost
  } else if (WIFEXITED(status)) {
    exitCode_ = static_cast<uint32_t>(WEXITSTATUS(status));
  } else if (WIFSIGNALED(status)) {
    exitCode_ = (terminatedWith_ && WTERMSIG(status) == SIGKILL)
                    ? *terminatedWith_
                    : 128u + static_cast<uint32_t>(WTERMSIG(status));
  }
  return true;
}

bool SimProcess::Wait(uint32_t timeoutMs) {
  if (timeoutMs == platform::kInfinite) return Reap(true);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!Reap(false)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

uint32_t SimProcess::ExitCode() {
  return Reap(false) ? exitCode_ : platform::kStillActive;
}

bool SimProcess::Terminate(uint32_t exitCode) {
  {
    std::lock_guard lock(mutex_);
    if (ended_) return false;
    if (kill(pid_, SIGKILL) != 0) return false;
    terminatedWith_ = exitCode;
  }
  Reap(true);
  return true;
}

// ---------------------------------------------------------------- SimProcesses

std::unique_ptr<platform::Pipe> SimProcesses::CreatePipe(uint32_t& error) {
  return SimPipe::Create(error);
}

bool SimProcesses::SetCurrentDirectory(const std::string& dir, std::string& message) {
  std::string native = NativePathFor(root_, dir);
  if (chdir(native.c_str()) != 0) {
    message = std::error_code(errno, std::generic_category()).message();
    return false;
  }
  return true;
}

std::unique_ptr<platform::Process> SimProcesses::Start(const platform::StartInfo& info,
                                                       uint32_t& error) {
  return StartIn(info, "", error);
}

// The program a command line starts and its arguments, as CreateProcessA reads the line: a
// quoted first word is the name whole; an unquoted one is tried up to each blank in turn
// ("C:\Program", then "C:\Program Files\x", ...) and the first name of an existing program
// wins. Without one, the error is the first word's.
bool SimProcesses::Resolve(const std::string& commandLine, std::string& program,
                           std::vector<std::string>& args, uint32_t& error) const {
  const std::vector<fs::path> dirs = searchDirs_ ? *searchDirs_ : ProgramSearchDirs();
  // A program is an executable file or a batch file.
  auto locate = [&](const std::string& name) {
    const bool hasDirectory = HasDirectoryPart(name);
    const std::string native = hasDirectory ? NativePathFor(root_, name) : name;
    return IsBatchFileName(name) ? FindFile(native, hasDirectory, dirs)
                                 : FindProgram(native, hasDirectory, dirs);
  };
  std::size_t start = commandLine.find_first_not_of(" \t");
  if (start == std::string::npos) {
    error = kErrorFileNotFound;
    return false;
  }
  std::string name;
  ProgramLookup found;
  if (commandLine[start] == '"') {
    args = SplitCommandLine(commandLine.substr(start));
    name = args.front();
    found = locate(name);
    args.erase(args.begin());
  } else {
    // Names end at a blank; a quote ends the search, as no file name holds one.
    const std::size_t limit = std::min(commandLine.find('"', start), commandLine.size());
    std::optional<uint32_t> firstError;
    for (std::size_t end = start;;) {
      end = std::min(commandLine.find_first_of(" \t", end + 1), limit);
      name = commandLine.substr(start, end - start);
      found = locate(name);
      if (!firstError) firstError = found.error;
      if (found.error == 0 || end == limit) {
        if (found.error != 0) found.error = *firstError;
        args = SplitCommandLine(commandLine.substr(end));
        break;
      }
    }
  }
  if (found.error) {
    error = found.error;
    return false;
  }
  if (IsBatchFileName(name)) {
    // A batch file is run by the system's command interpreter, never by a "cmd" beside the
    // program: cmd /c "<file>" <arguments>.
    ProgramLookup cmd = FindProgram("cmd", false, {root_ / kSystemFolder});
    if (cmd.error) {
      error = cmd.error;
      return false;
    }
    program = cmd.path.string();
    args.insert(args.begin(), {"cmd", "/c", found.path.string()});
    return true;
  }
  program = found.path.string();
  args.insert(args.begin(), name);
  return true;
}

std::unique_ptr<platform::Process> SimProcesses::StartIn(const platform::StartInfo& info,
                                                         const std::string& directory,
                                                         uint32_t& error) {
  std::string program;
  std::vector<std::string> args;
  if (!Resolve(info.commandLine, program, args, error)) return nullptr;

  SimPipe* in = nullptr;
  SimPipe* out = nullptr;
  if (info.stdinPipe && !(in = dynamic_cast<SimPipe*>(info.stdinPipe))) {
    error = kErrorInvalidHandle;
    return nullptr;
  }
  if (info.stdoutPipe && !(out = dynamic_cast<SimPipe*>(info.stdoutPipe))) {
    error = kErrorInvalidHandle;
    return nullptr;
  }
  if ((in && in->ReadFd() < 0) || (out && out->WriteFd() < 0)) {
    error = kErrorInvalidHandle;
    return nullptr;
  }

  // A hidden console shows nothing and gets no input: its streams go nowhere.
  const bool hidden = info.showWindow == 0;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (in)
    posix_spawn_file_actions_adddup2(&actions, in->ReadFd(), 0);
  else if (hidden)
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (out) {
    posix_spawn_file_actions_adddup2(&actions, out->WriteFd(), 1);
    posix_spawn_file_actions_adddup2(&actions, out->WriteFd(), 2);
  } else if (hidden) {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
  }
  if (!directory.empty()) posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
  // Descriptors opened elsewhere without close-on-exec must not reach the child either.
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);

  std::vector<std::string> env;
  const std::string hostPrefix = std::string(kHostEnvironmentVariable) + "=";
  for (char** e = environ; e && *e; ++e)
    if (std::strncmp(*e, hostPrefix.c_str(), hostPrefix.size()) != 0) env.emplace_back(*e);
  env.push_back(hostPrefix + root_.string());

  std::vector<char*> argv, envp;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);

  pid_t pid = 0;
  int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    error = SpawnError(rc);
    return nullptr;
  }
  // The child holds its own copies now; ours would keep the output from ever ending.
  if (in) in->CloseReadEnd();
  if (out) out->CloseWriteEnd();
  error = 0;
  return std::make_unique<SimProcess>(pid);
}

}  // namespace lanvoy::sim
