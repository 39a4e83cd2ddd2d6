#include "platform/standin_host.h"

#include <charconv>

#include "platform/sim/host.h"
#include "platform/sim/host_root.h"
#include "platform/sim/paths.h"
#include "platform/sim/registry.h"

namespace lanvoy::platform {

std::filesystem::path StandinHostRoot() {
  return sim::ResolveHostRoot();
}

uint32_t StandinWindowsMajorVersion(const std::filesystem::path& hostRoot) {
  constexpr uint32_t kXp = 5;
  sim::SimRegistry registry(hostRoot / sim::kRegistryFile);
  auto key = registry.Open(RootKey::LocalMachine, sim::kCurrentVersionKey, false);
  if (!key) return kXp;
  if (auto major = key->Query("CurrentMajorVersionNumber");
      major && major->type == ValueType::DWord)
    return major->dword;
  // Before Windows 10 only "CurrentVersion" tells: "5.1", "6.1".
  if (auto version = key->Query("CurrentVersion"); version && version->type == ValueType::String) {
    const std::string& text = version->text;
    uint32_t major = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), major);
    if (ec == std::errc() && end != text.data() &&
        (end == text.data() + text.size() || *end == '.'))
      return major;
  }
  return kXp;
}

std::string StandinLocalPath(const std::filesystem::path& hostRoot, const std::string& path) {
  return sim::NativePathFor(hostRoot, path);
}

// Linux streams never translate line ends.
void UseBinaryStandardOutput() {}

}  // namespace lanvoy::platform
