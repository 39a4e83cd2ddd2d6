// Lanvoy's text is 8-bit, in the machine's code pages; the windows here are Unicode windows
// (the "W" API), so every string that crosses into a control and back goes through these,
// with the code pages the platform reports, as Windows gives them to netsh.
#pragma once

#include <string>

#include "platform/platform.h"

namespace lanvoy {

// The machine's ANSI and OEM code pages, for the whole program. Until installed: those of
// the running system (GetACP, GetOEMCP).
void InstallWin32CodePages(platform::System& system);

// ANSI text to the windows' UTF-16; line breaks stay CR LF.
std::wstring W(const std::string& ansi);
// A window's UTF-16 text to ANSI; a character the code page lacks becomes "?".
std::string A(const std::wstring& wide);
// Console output in the OEM code page to UTF-16.
std::wstring WFromOem(const std::string& oem);

}  // namespace lanvoy
