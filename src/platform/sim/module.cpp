#include "platform/module.h"

#include <dlfcn.h>

#include "base/error.h"
#include "platform/sim/host_root.h"

namespace lanvoy::platform {

void* LoadProgramModuleFunction(const std::string& fileName, const std::string& function) {
  const std::string path = (sim::RunningProgramPath().parent_path() / fileName).string();
  // The program exports none of its symbols, so the copy of the core the module holds
  // stays its own.
  void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) throw Error(::dlerror());
  void* address = ::dlsym(module, function.c_str());
  if (!address) throw Error("Cannot find " + function + " in " + path);
  return address;
}

}  // namespace lanvoy::platform
