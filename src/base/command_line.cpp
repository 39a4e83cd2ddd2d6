#include "base/command_line.h"

namespace lanvoy {

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> args;
  std::size_t i = 0, n = commandLine.size();
  auto separator = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (i < n) {
    while (i < n && separator(commandLine[i])) ++i;
    if (i >= n) break;
    std::string arg;
    bool quoted = false;
    while (i < n && (quoted || !separator(commandLine[i]))) {
      if (commandLine[i] == '"')
        quoted = !quoted;
      else
        arg.push_back(commandLine[i]);
      ++i;
    }
    args.push_back(std::move(arg));
  }
  return args;
}

std::string QuoteArgument(const std::string& arg) {
  bool plain = !arg.empty();
  for (char c : arg) plain = plain && static_cast<unsigned char>(c) > ' ';
  return plain ? arg : "\"" + arg + "\"";
}

std::string JoinCommandLine(const std::vector<std::string>& args) {
  std::string line;
  for (const std::string& arg : args) {
    if (!line.empty()) line += ' ';
    line += QuoteArgument(arg);
  }
  return line;
}

}  // namespace lanvoy
