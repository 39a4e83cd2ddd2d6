// A library of the program's own, loaded while it runs (dlopen / LoadLibraryExA), so that a
// start that does not need what it holds does not pay for loading it. No OS header may
// appear here.
#pragma once

#include <string>

namespace lanvoy::platform {

// Loads the library of that file name from the program's folder, for the rest of the
// process (its static objects end with the program's), and returns the address of its
// exported function of that name. Raises Error with the system's reason when either
// cannot be found.
void* LoadProgramModuleFunction(const std::string& fileName, const std::string& function);

}  // namespace lanvoy::platform
