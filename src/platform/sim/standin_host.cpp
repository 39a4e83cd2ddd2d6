#include "platform/standin_host.h"

#include "platform/sim/host.h"
#include "platform/sim/host_root.h"
#include "platform/sim/paths.h"
#include "platform/sim/registry.h"

namespace lanvoy::platform {

std::filesystem::path StandinHostRoot() {
  return sim::ResolveHostRoot();
}

uint32_t StandinWindowsMajorVersion(const std::filesystem::path& hostRoot) {
  sim::SimRegistry registry(hostRoot / sim::kRegistryFile);
  return sim::RegistryWindowsVersion(registry).major;
}

std::string StandinLocalPath(const std::filesystem::path& hostRoot, const std::string& path) {
  return sim::NativePathFor(hostRoot, path);
}

// Linux streams never translate line ends.
void UseBinaryStandardOutput() {}

}  // namespace lanvoy::platform
