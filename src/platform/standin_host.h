// What the stand-in programs (tools/) need from the machine they run on, implemented by each
// backend: where they keep the machine's network state, which Windows it is, how they open a
// file the program names, and standard output that passes bytes unchanged.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace lanvoy::platform {

inline constexpr const char* kStandinHostVariable = "LANVOY_HOST";

// The folder named by LANVOY_HOST, else host/ in the folder of the running program.
std::filesystem::path StandinHostRoot();

// The major version of the machine's Windows: 5 for XP, 10 for Windows 10. A simulated host
// whose registry does not say counts as XP.
uint32_t StandinWindowsMajorVersion(const std::filesystem::path& hostRoot);

// A path the program gave (a Windows path on either backend) as this machine opens it.
std::string StandinLocalPath(const std::filesystem::path& hostRoot, const std::string& path);

// Standard output in binary mode: CR LF written by the program stays CR LF, where a text
// mode stream on Windows would make it CR CR LF.
void UseBinaryStandardOutput();

}  // namespace lanvoy::platform
