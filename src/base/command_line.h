// Splitting a command line into arguments by the Windows rules the program's users know:
// blanks (and other characters up to the blank) separate arguments, and a pair of double
// quotes groups blanks into one argument and is itself removed.
#pragma once

#include <string>
#include <vector>

namespace lanvoy {

std::vector<std::string> SplitCommandLine(const std::string& commandLine);

}  // namespace lanvoy
