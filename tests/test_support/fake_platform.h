// A small in-memory machine for the window tests: a registry, recorded process starts and
// shell calls, a printer list and a file version.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "base/strings.h"
#include "platform/code_pages.h"
#include "platform/platform.h"

namespace lanvoy::test {

class FakePlatform : public platform::Platform,
                     platform::Registry,
                     platform::Processes,
                     platform::Shell,
                     platform::Printers,
                     platform::System,
                     platform::Network {
 public:
  using Values = std::map<std::string, platform::RegistryValue>;
  // Keys by upper-case path without a leading backslash.
  std::map<std::string, Values> keys;
  bool registryRefuses = false;
  std::vector<std::string> started;  // command lines
  uint32_t startError = 0;           // non-zero: starts fail with it
  struct ShellCall {
    std::string file, parameters;
    int show;
  };
  std::vector<ShellCall> opened;
  std::vector<std::string> printerNames;
  std::optional<std::array<uint16_t, 4>> version = std::array<uint16_t, 4>{2, 3, 0, 1};
  std::string windowsDirectory = "C:\\WINDOWS";

  static std::string KeyName(std::string path) {
    if (!path.empty() && path[0] == '\\') path.erase(0, 1);
    return UpperCase(path);
  }
  Values* Key(const std::string& path) {
    auto it = keys.find(KeyName(path));
    return it == keys.end() ? nullptr : &it->second;
  }

  platform::Registry& registry() override { return *this; }
  platform::Processes& processes() override { return *this; }
  platform::Shell& shell() override { return *this; }
  platform::Printers& printers() override { return *this; }
  platform::System& system() override { return *this; }
  platform::Network& network() override { return *this; }

  // Registry
  class FakeKey : public platform::RegistryKey {
   public:
    explicit FakeKey(Values& values) : values_(values) {}
    std::optional<platform::RegistryValue> Query(const std::string& name) override {
      auto it = values_.find(UpperCase(name));
      if (it == values_.end()) return std::nullopt;
      return it->second;
    }
    bool SetString(const std::string& name, const std::string& data) override {
      values_[UpperCase(name)] = {platform::ValueType::String, data, 0, 0, {}};
      return true;
    }
    bool SetDWord(const std::string& name, uint32_t data) override {
      values_[UpperCase(name)] = {platform::ValueType::DWord, "", data, 0, {}};
      return true;
    }
    bool SetRaw(const std::string& name, const platform::RegistryValue& value) override {
      values_[UpperCase(name)] = value;
      return true;
    }
    bool DeleteValue(const std::string& name) override {
      return values_.erase(UpperCase(name)) > 0;
    }

   private:
    Values& values_;
  };
  std::unique_ptr<platform::RegistryKey> Open(platform::RootKey, const std::string& path,
                                              bool create) override {
    if (registryRefuses) return nullptr;
    auto it = keys.find(KeyName(path));
    if (it == keys.end()) {
      if (!create) return nullptr;
      it = keys.emplace(KeyName(path), Values{}).first;
    }
    return std::make_unique<FakeKey>(it->second);
  }

  // Processes
  class FakeProcess : public platform::Process {
   public:
    uint32_t Handle() const override { return 1; }
    bool Wait(uint32_t) override { return true; }
    uint32_t ExitCode() override { return 0; }
    bool Terminate(uint32_t) override { return true; }
  };
  std::unique_ptr<platform::Process> Start(const platform::StartInfo& info,
                                           uint32_t& error) override {
    started.push_back(info.commandLine);
    lastShow = info.showWindow;
    if (startError != 0) {
      error = startError;
      return nullptr;
    }
    return std::make_unique<FakeProcess>();
  }
  uint16_t lastShow = 0;
  // A pipe nothing is ever written to: a captured program says nothing.
  class SilentPipe : public platform::Pipe {
   public:
    bool Peek(char*, uint32_t, uint32_t& copied, uint32_t& available) override {
      copied = available = 0;
      return true;
    }
    bool Read(char*, uint32_t, uint32_t& got) override {
      got = 0;
      return false;
    }
    bool Write(const char*, uint32_t size, uint32_t& written) override {
      written = size;
      return true;
    }
    void CloseReadEnd() override {}
    void CloseWriteEnd() override {}
  };
  std::unique_ptr<platform::Pipe> CreatePipe(uint32_t&) override {
    return std::make_unique<SilentPipe>();
  }
  // The command lines that ran netsh.
  std::vector<std::string> NetshRuns() const {
    std::vector<std::string> runs;
    for (const std::string& line : started)
      if (line.find("\\netsh.exe\" ") != std::string::npos) runs.push_back(line);
    return runs;
  }
  bool SetCurrentDirectory(const std::string&, std::string&) override { return true; }

  // Shell
  int Open(const std::string& file, const std::string& parameters, const std::string&,
           int show) override {
    opened.push_back({file, parameters, show});
    return 42;
  }
  bool CanOpen(const std::string& extension) override { return extension == ".bat"; }
  ElevatedRun RunElevated(const std::string& program, const std::string& parameters,
                          const std::string& handover) override {
    elevatedRuns.push_back({program, parameters, 0});
    handedOver.push_back(handover);
    return elevatedRun;
  }
  std::optional<std::string> ReceiveHandover(const std::string&) override { return std::nullopt; }
  std::vector<std::string> handedOver;
  std::vector<ShellCall> elevatedRuns;
  ElevatedRun elevatedRun{true, false, 0, 0};

  // Printers
  std::vector<std::string> Installed() override { return printerNames; }
  std::optional<std::string> DefaultPrinter() override { return std::nullopt; }
  bool WriteProfileString(const std::string&, const std::string&, const std::string&) override {
    return true;
  }
  void BroadcastSettingChange(const std::string&) override {}
  bool SetDefault(const std::string&) override { return true; }
  void InternetSettingsChanged() override {}
  std::string SystemDirectory() override { return windowsDirectory + "\\system32"; }
  // A real folder of the test's temporary files: what was handed over can be read back.
  class Scratch : public platform::ScratchFolder {
   public:
    explicit Scratch(std::filesystem::path dir) : dir_(std::move(dir)) {
      std::filesystem::create_directories(dir_);
      path_ = dir_.string() + "/";
    }
    ~Scratch() override {
      std::error_code ec;
      if (!kept_) std::filesystem::remove_all(dir_, ec);
    }
    const std::string& Path() const override { return path_; }
    bool Create(const std::string& name, const std::string& bytes) override {
      if (std::filesystem::exists(dir_ / name)) return false;
      std::ofstream(dir_ / name, std::ios::binary) << bytes;
      return true;
    }
    void Keep() override { kept_ = true; }

   private:
    std::filesystem::path dir_;
    std::string path_;
    bool kept_ = false;
  };
  std::unique_ptr<platform::MachineLock> LockApplies(std::chrono::milliseconds) override {
    return std::make_unique<platform::MachineLock>();
  }
  std::unique_ptr<platform::ScratchFolder> MakeScratchFolder(std::string&) override {
    static int made = 0;
    return std::make_unique<Scratch>(
        std::filesystem::temp_directory_path() /
        ("lanvoy-fake-scratch-" + std::to_string(getpid()) + "-" + std::to_string(++made)));
  }
  bool SetComputerName(const std::string&, std::string&) override { return true; }

  // System
  std::string WindowsDirectory() override { return windowsDirectory; }
  bool FindWindowByClass(const std::string&) override { return false; }
  bool AdjustPrivilege(const std::string&, bool) override { return true; }
  bool ExitWindows(uint32_t flags, uint32_t) override {
    exitFlags.push_back(flags);
    return true;
  }
  std::vector<uint32_t> exitFlags;
  std::string ExecutablePath() override { return exePath; }
  std::string exePath;
  std::optional<std::array<uint16_t, 4>> FileVersion(const std::string&) override {
    return version;
  }
  std::string NativePath(const std::string& path) override { return path; }
  // A German Windows's code pages, converted as this machine converts them.
  uint32_t ansiCodePage = 1252;
  uint32_t oemCodePage = 850;
  uint32_t AnsiCodePage() override { return ansiCodePage; }
  bool Elevated() override { return elevated; }
  Version WindowsVersion() override { return windowsVersion; }
  std::vector<platform::NetworkAdapter> Adapters() override { return adapters; }
  void SetDnsSuffix(const std::string& connection, const std::string& suffix) override {
    for (auto& a : adapters)
      if (a.name == connection) a.dnsSuffix = suffix;
  }
  Version windowsVersion;  // XP
  std::vector<platform::NetworkAdapter> adapters;
  bool elevated = true;
  uint32_t OemCodePage() override { return oemCodePage; }
  std::string ToUtf8(std::string_view text, uint32_t codePage) override {
    return platform::CodePageToUtf8(text, codePage);
  }
  std::string FromUtf8(std::string_view utf8, uint32_t codePage) override {
    return platform::Utf8ToCodePage(utf8, codePage);
  }
};

}  // namespace lanvoy::test
