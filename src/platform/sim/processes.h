// Processes and anonymous pipes of the simulated host: real POSIX children, started the way
// CreateProcessA would start the program named at the front of the command line.
#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace lanvoy::sim {

// System error codes the simulation reports, as Windows names them.
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorAccessDenied = 5;

// Where a program was found, or the system error code of the search.
struct ProgramLookup {
  std::filesystem::path path;
  uint32_t error = 0;
};

// Searches a program as Windows does: a name with a directory part is a path (already
// converted to a native path by the caller); a bare name is looked for in each of dirs in
// turn. In each place: the exact name, then the name without regard to case, then the name
// without a trailing ".exe". 2 when nothing is found, 3 when the directory part does not
// exist, 5 when the file found is not executable.
ProgramLookup FindProgram(const std::string& name, bool hasDirectory,
                          const std::vector<std::filesystem::path>& dirs);
// The same search for any file, executable or not (2 or 3 when it is not there).
ProgramLookup FindFile(const std::string& name, bool hasDirectory,
                       const std::vector<std::filesystem::path>& dirs);

// The file of this name in dir, as FindProgram looks (executable or not), or nullopt.
std::optional<std::filesystem::path> FindFileIn(const std::filesystem::path& dir,
                                                const std::string& name);

// Where a bare program name is searched: the running program's folder, the current
// folder, then each folder of PATH.
std::vector<std::filesystem::path> ProgramSearchDirs();

// A name holding a folder part ("\", "/" or a drive) is a path, not a name to search.
bool HasDirectoryPart(const std::string& name);

class SimPipe : public platform::Pipe {
 public:
  // Both ends close on exec, so only the end handed to a child reaches it.
  static std::unique_ptr<SimPipe> Create(uint32_t& error);
  ~SimPipe() override;

  // At the end of the output with nothing left, Peek and Read fail (got = 0) as
  // PeekNamedPipe and ReadFile do on a broken pipe.
  bool Peek(char* buffer, uint32_t size, uint32_t& copied, uint32_t& available) override;
  bool Read(char* buffer, uint32_t size, uint32_t& got) override;
  bool Write(const char* data, uint32_t size, uint32_t& written) override;
  void CloseReadEnd() override;
  void CloseWriteEnd() override;

  int ReadFd() const { return readFd_; }
  int WriteFd() const { return writeFd_; }

 private:
  SimPipe(int readFd, int writeFd) : readFd_(readFd), writeFd_(writeFd) {}

  std::mutex mutex_;
  int readFd_;
  int writeFd_;
  // Bytes taken out of the pipe by Peek that Read has not handed out yet.
  std::string pending_;
};

class SimProcess : public platform::Process {
 public:
  explicit SimProcess(int pid) : pid_(pid) {}
  // The child goes on; a helper thread collects it when it ends so it leaves no zombie.
  ~SimProcess() override;

  uint32_t Handle() const override { return static_cast<uint32_t>(pid_); }
  bool Wait(uint32_t timeoutMs) override;
  uint32_t ExitCode() override;
  bool Terminate(uint32_t exitCode) override;

 private:
  // Collects the child's status if it has ended (blocking: waits for the end).
  bool Reap(bool block);

  std::mutex mutex_;
  int pid_;
  bool ended_ = false;
  uint32_t exitCode_ = platform::kStillActive;
  std::optional<uint32_t> terminatedWith_;
};

class SimProcesses : public platform::Processes {
 public:
  explicit SimProcesses(std::filesystem::path root) : root_(std::move(root)) {}
  // Searches bare program names in these folders instead of ProgramSearchDirs().
  SimProcesses(std::filesystem::path root, std::vector<std::filesystem::path> searchDirs)
      : root_(std::move(root)), searchDirs_(std::move(searchDirs)) {}

  std::unique_ptr<platform::Process> Start(const platform::StartInfo& info,
                                           uint32_t& error) override;
  // Start with the child in directory (a native path; "" keeps the program's own).
  std::unique_ptr<platform::Process> StartIn(const platform::StartInfo& info,
                                             const std::string& directory, uint32_t& error);
  std::unique_ptr<platform::Pipe> CreatePipe(uint32_t& error) override;
  bool SetCurrentDirectory(const std::string& dir, std::string& message) override;

 private:
  // The program file to run and its argument vector (argv[0] first); false with the system
  // error code when the line names nothing that can start.
  bool Resolve(const std::string& commandLine, std::string& program, std::vector<std::string>& args,
               uint32_t& error) const;

  std::filesystem::path root_;
  std::optional<std::vector<std::filesystem::path>> searchDirs_;
};

}  // namespace lanvoy::sim
