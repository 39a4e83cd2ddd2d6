// A machine that tells another Windows version than it runs, everything else its own: the
// window's rules of later Windows on the Wine prefix, which plays Windows XP.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "platform/platform.h"

namespace lanvoy::test {

class ReportedWindows : public platform::Platform, platform::System {
 public:
  ReportedWindows(std::unique_ptr<platform::Platform> machine, Version version)
      : machine_(std::move(machine)), s_(machine_->system()), version_(version) {}

  platform::Registry& registry() override { return machine_->registry(); }
  platform::Processes& processes() override { return machine_->processes(); }
  platform::Shell& shell() override { return machine_->shell(); }
  platform::Printers& printers() override { return machine_->printers(); }
  platform::System& system() override { return *this; }
  platform::Network& network() override { return machine_->network(); }

  Version WindowsVersion() override { return version_; }
  std::string WindowsDirectory() override { return s_.WindowsDirectory(); }
  std::string SystemDirectory() override { return s_.SystemDirectory(); }
  std::unique_ptr<platform::ScratchFolder> MakeScratchFolder(std::string& message) override {
    return s_.MakeScratchFolder(message);
  }
  std::unique_ptr<platform::MachineLock> LockApplies(std::chrono::milliseconds wait) override {
    return s_.LockApplies(wait);
  }
  bool FindWindowByClass(const std::string& name) override { return s_.FindWindowByClass(name); }
  bool AdjustPrivilege(const std::string& name, bool on) override {
    return s_.AdjustPrivilege(name, on);
  }
  bool ExitWindows(uint32_t flags, uint32_t reason) override {
    return s_.ExitWindows(flags, reason);
  }
  std::string ExecutablePath() override { return s_.ExecutablePath(); }
  std::optional<std::array<uint16_t, 4>> FileVersion(const std::string& path) override {
    return s_.FileVersion(path);
  }
  std::string NativePath(const std::string& path) override { return s_.NativePath(path); }
  uint32_t AnsiCodePage() override { return s_.AnsiCodePage(); }
  uint32_t OemCodePage() override { return s_.OemCodePage(); }
  std::string ToUtf8(std::string_view text, uint32_t codePage) override {
    return s_.ToUtf8(text, codePage);
  }
  std::string FromUtf8(std::string_view utf8, uint32_t codePage) override {
    return s_.FromUtf8(utf8, codePage);
  }
  bool Elevated() override { return s_.Elevated(); }
  void InternetSettingsChanged() override { s_.InternetSettingsChanged(); }
  bool SetComputerName(const std::string& name, std::string& message) override {
    return s_.SetComputerName(name, message);
  }

 private:
  std::unique_ptr<platform::Platform> machine_;
  platform::System& s_;
  Version version_;
};

}  // namespace lanvoy::test
