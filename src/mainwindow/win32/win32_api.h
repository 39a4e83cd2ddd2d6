// The Windows headers of the Win32 windows. They define macros named like some methods of
// the platform interfaces; those are removed so that the interfaces keep their names.
#pragma once

#include <windows.h>
// windows.h first: the others depend on it.
#include <commctrl.h>

#undef SetCurrentDirectory
#undef WriteProfileString
#undef ExitWindows
#undef SetComputerName
