#include "platform/module.h"

#include "base/error.h"
#include "platform/win32/win32_parts.h"
#include "platform/win32/windows_api.h"

namespace lanvoy::platform {

void* LoadProgramModuleFunction(const std::string& fileName, const std::string& function) {
  HMODULE module = LoadLibraryExA(fileName.c_str(), nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR);
  if (!module) throw Error(fileName + ": " + win32::SystemErrorText(GetLastError()));
  FARPROC address = GetProcAddress(module, function.c_str());
  if (!address) throw Error("Cannot find " + function + " in " + fileName);
  return reinterpret_cast<void*>(address);
}

}  // namespace lanvoy::platform
