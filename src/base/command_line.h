// Splitting a command line into arguments by the Windows rules the program's users know:
// blanks (and other characters up to the blank) separate arguments, and a pair of double
// quotes groups blanks into one argument and is itself removed.
#pragma once

#include <string>
#include <vector>

namespace lanvoy {

std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// An argument as a command line writes it so that SplitCommandLine gives it back: in double
// quotes when it is empty or holds a blank or control character. An argument holding a
// double quote cannot be written by these rules; its quotes are lost.
std::string QuoteArgument(const std::string& arg);
// The arguments, each quoted where it needs it, separated by one blank.
std::string JoinCommandLine(const std::vector<std::string>& args);

}  // namespace lanvoy
