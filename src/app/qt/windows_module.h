// The module that holds the program's windows (and Qt): its file beside the program and the
// functions the program calls in it.
#pragma once

inline constexpr const char* kWindowsModuleFile = "lanvoy_windows.so";

extern "C" {
// The interactive program: the start-up and the message loop. Returns the exit code.
int LanvoyRunWindows(int argc, char** argv);
using RunWindowsFunction = decltype(&LanvoyRunWindows);
// The error box of a start that could not even set up the machine's services.
void LanvoyErrorBox(char* argv0, const char* message);
using ErrorBoxFunction = decltype(&LanvoyErrorBox);
}
