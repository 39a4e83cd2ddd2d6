// The pieces of the Windows backend; CreatePlatform() puts them together.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

namespace lanvoy::win32 {

std::unique_ptr<platform::Registry> MakeRegistry();
std::unique_ptr<platform::Processes> MakeProcesses();
std::unique_ptr<platform::Shell> MakeShell();
std::unique_ptr<platform::Printers> MakePrinters();
std::unique_ptr<platform::System> MakeSystem();

// The system's text for an error code (FormatMessageA), without its line end.
std::string SystemErrorText(unsigned long code);

}  // namespace lanvoy::win32
