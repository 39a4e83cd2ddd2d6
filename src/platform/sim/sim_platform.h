// The simulated Windows host: every platform service backed by files in one folder (the
// host root) and by real child processes.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/sim/processes.h"
#include "platform/sim/registry.h"

namespace lanvoy::sim {

// This process's locale (LC_ALL, LC_CTYPE, LANG) encodes text in UTF-8.
bool LocaleIsUtf8();
// The text holds a non-ASCII character and is well-formed UTF-8.
bool IsUtf8(std::string_view text);

// ShellExecute's answers.
inline constexpr int kShellOk = 42;
inline constexpr int kShellFileNotFound = 2;
inline constexpr int kShellPathNotFound = 3;
inline constexpr int kShellNoAssociation = 31;

class SimShell : public platform::Shell {
 public:
  SimShell(std::filesystem::path root, SimProcesses& processes)
      : root_(std::move(root)), processes_(processes) {}
  // A batch file or a program starts as a process (not waited for); the editor and scripts
  // that need an interpreter this machine lacks are recorded in events.log instead.
  int Open(const std::string& file, const std::string& parameters, const std::string& directory,
           int showCommand) override;
  // This machine runs batch files only.
  bool CanOpen(const std::string& extension) override;
  // The program runs as a child, waited for; a host with the file "elevation-refused" has a
  // user who says no at the prompt.
  ElevatedRun RunElevated(const std::string& program, const std::string& parameters,
                          const std::string& handover) override;
  // "-": standard input, to its end.
  std::optional<std::string> ReceiveHandover(const std::string& token) override;

 private:
  std::filesystem::path root_;
  SimProcesses& processes_;
};

class SimPrinters : public platform::Printers {
 public:
  SimPrinters(std::filesystem::path root, SimRegistry& registry)
      : root_(std::move(root)), registry_(registry) {}
  // The value names of the user's Devices key, in file order.
  std::vector<std::string> Installed() override;
  // The name before the first comma of win.ini [windows] "device".
  std::optional<std::string> DefaultPrinter() override;
  bool WriteProfileString(const std::string& section, const std::string& key,
                          const std::string& value) override;
  void BroadcastSettingChange(const std::string& section) override;
  // Among the installed printers: win.ini's "device" as Windows writes it, and the broadcast.
  bool SetDefault(const std::string& name) override;

 private:
  std::filesystem::path root_;
  SimRegistry& registry_;
};

class SimSystem : public platform::System {
 public:
  SimSystem(std::filesystem::path root, SimRegistry& registry)
      : root_(std::move(root)), registry_(registry) {}
  std::string WindowsDirectory() override;
  // C:\WINDOWS\system32: the host's, where the stand-ins play the system's programs.
  std::string SystemDirectory() override;
  std::unique_ptr<platform::ScratchFolder> MakeScratchFolder(std::string& message) override;
  // flock on the host's "apply.lock".
  std::unique_ptr<platform::MachineLock> LockApplies(std::chrono::milliseconds wait) override;
  // Looks the class up in windows.txt.
  bool FindWindowByClass(const std::string& className) override;
  // true for the privilege names Windows knows.
  bool AdjustPrivilege(const std::string& name, bool enable) override;
  // Records the request in events.log.
  bool ExitWindows(uint32_t flags, uint32_t reason) override;
  std::string ExecutablePath() override;
  // The build's version for the running program; other files carry none.
  std::optional<std::array<uint16_t, 4>> FileVersion(const std::string& path) override;
  std::string NativePath(const std::string& path) override;
  // The values "ACP" and "OEMCP" of the registry's code page key, as Windows keeps them;
  // Windows-1252 and 850 (a German Windows) when they are missing or no number.
  uint32_t AnsiCodePage() override;
  uint32_t OemCodePage() override;
  std::string ToUtf8(std::string_view text, uint32_t codePage) override;
  std::string FromUtf8(std::string_view utf8, uint32_t codePage) override;
  // Elevated unless the host has the file "not-elevated".
  bool Elevated() override;
  // From the registry's CurrentVersion key, as Windows keeps it; XP when it says nothing.
  Version WindowsVersion() override;
  // Recorded in events.log.
  void InternetSettingsChanged() override;
  // The names Windows keeps until the restart: ComputerName's (upper case) and the TCP/IP
  // "NV Hostname"; the active name stays. Refuses what Windows refuses.
  bool SetComputerName(const std::string& name, std::string& message) override;

 private:
  uint32_t CodePage(const char* value, uint32_t fallback);

  std::filesystem::path root_;
  SimRegistry& registry_;
};

// The connections of the host's network state (network.ini), as Windows lists them.
class SimNetwork : public platform::Network {
 public:
  explicit SimNetwork(std::filesystem::path root) : root_(std::move(root)) {}
  std::vector<platform::NetworkAdapter> Adapters() override;
  void SetDnsSuffix(const std::string& connection, const std::string& suffix) override;

 private:
  std::filesystem::path root_;
};

class SimPlatform : public platform::Platform {
 public:
  // Sets the host up on first use (EFCreateError when its files cannot be made).
  explicit SimPlatform(std::filesystem::path root);

  platform::Registry& registry() override { return registry_; }
  platform::Processes& processes() override { return processes_; }
  platform::Shell& shell() override { return shell_; }
  platform::Printers& printers() override { return printers_; }
  platform::System& system() override { return system_; }
  platform::Network& network() override { return network_; }

  const std::filesystem::path& root() const { return root_; }

 private:
  std::filesystem::path root_;
  SimRegistry registry_;
  SimProcesses processes_;
  SimShell shell_;
  SimPrinters printers_;
  SimSystem system_;
  SimNetwork network_;
};

}  // namespace lanvoy::sim
