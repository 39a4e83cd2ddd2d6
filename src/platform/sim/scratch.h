// The simulated host's scratch folders: below its WINDOWS/Temp, of mode 0700, files made
// with O_EXCL | O_NOFOLLOW.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace lanvoy::sim {

std::unique_ptr<platform::ScratchFolder> MakeScratchFolder(const std::filesystem::path& root,
                                                           std::string& message);

}  // namespace lanvoy::sim
