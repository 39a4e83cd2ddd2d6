// The Windows headers for this backend. They define macros named like some methods of the
// platform interfaces (SetCurrentDirectory, WriteProfileString, ExitWindows); those are
// removed so that the interfaces keep their names. The API is called by its "A" names.
#pragma once

// Before windows.h, which would bring the older winsock.h that the IP helper headers clash with.
#include <winsock2.h>

#include <windows.h>
// windows.h first: the spooler header depends on it.
#include <shlwapi.h>
#include <wininet.h>
#include <winspool.h>

#undef SetCurrentDirectory
#undef WriteProfileString
#undef ExitWindows
#undef SetComputerName
