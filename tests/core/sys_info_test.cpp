#include "components/sys_info.h"

#include <gtest/gtest.h>

namespace lanvoy {
namespace {

class FakeSystem : public platform::System {
 public:
  std::string WindowsDirectory() override {
    ++reads;
    return directory;
  }
  bool FindWindowByClass(const std::string&) override { return false; }
  bool AdjustPrivilege(const std::string&, bool) override { return false; }
  bool ExitWindows(uint32_t, uint32_t) override { return false; }
  std::string ExecutablePath() override { return ""; }
  std::optional<std::array<uint16_t, 4>> FileVersion(const std::string&) override {
    return std::nullopt;
  }
  std::string NativePath(const std::string& path) override { return path; }
  // Both code pages US-ASCII (20127): every other byte or character is "?".
  uint32_t AnsiCodePage() override { return 20127; }
  bool Elevated() override { return true; }
  Version WindowsVersion() override { return {}; }
  void InternetSettingsChanged() override {}
  std::string SystemDirectory() override { return "C:\\WINDOWS\\system32"; }
  std::unique_ptr<platform::ScratchFolder> MakeScratchFolder(std::string&) override {
    return nullptr;
  }
  std::unique_ptr<platform::MachineLock> LockApplies(std::chrono::milliseconds) override {
    return nullptr;
  }
  bool SetComputerName(const std::string&, std::string&) override { return true; }
  uint32_t OemCodePage() override { return 20127; }
  std::string ToUtf8(std::string_view text, uint32_t) override {
    std::string out(text);
    for (char& c : out)
      if (static_cast<unsigned char>(c) >= 0x80) c = '?';
    return out;
  }
  std::string FromUtf8(std::string_view utf8, uint32_t) override {
    std::string out;
    for (char c : utf8) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte < 0x80)
        out += c;
      else if (byte >= 0xC0)
        out += '?';  // a sequence's first byte; the rest are dropped
    }
    return out;
  }

  std::string directory = "C:\\WINNT";
  int reads = 0;
};

TEST(SysInfo, ReadsTheDirectoryAtCreationAndOnALanguageChangeOnly) {
  FakeSystem system;
  TSysInfo info(system);
  EXPECT_EQ(info.WindowsDirectory(), "C:\\WINNT");
  EXPECT_EQ(info.Language(), lgFrench);
  EXPECT_EQ(info.Information(), 0u);

  system.directory = "D:\\Windows";
  info.SetLanguage(lgFrench);
  EXPECT_EQ(info.WindowsDirectory(), "C:\\WINNT");
  info.SetLanguage(lgEnglish);
  EXPECT_EQ(info.WindowsDirectory(), "D:\\Windows");
  EXPECT_EQ(system.reads, 2);
}

TEST(SysInfo, KeepsWhatTheSystemReportsAndEmptyOnFailure) {
  FakeSystem system;
  system.directory = "C:\\";
  EXPECT_EQ(TSysInfo(system).WindowsDirectory() + "\\system32\\drivers\\etc\\hosts",
            "C:\\\\system32\\drivers\\etc\\hosts");
  system.directory = "";
  EXPECT_EQ(TSysInfo(system).WindowsDirectory(), "");
  system.directory = "C:\\" + std::string(300, 'w');  // too long for the call's buffer
  EXPECT_EQ(TSysInfo(system).WindowsDirectory(), "");
  system.directory = std::string("C:\\WIN\0junk", 11);
  EXPECT_EQ(TSysInfo(system).WindowsDirectory(), "C:\\WIN");
}

}  // namespace
}  // namespace lanvoy
