// cmd: the command interpreter of the simulated host, for batch files. One command per
// line; "@echo off", "echo", "rem", "::" comments and "exit" are its own, every other command
// is a program started through the host's process search. A command's standard output can
// go into a file with ">" or ">>". Not handled: pipes, "&" chains, "<", "2>", variables and
// batch parameters.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/command_line.h"
#include "base/files.h"
#include "base/strings.h"
#include "platform/platform.h"

namespace {

using lanvoy::platform::Platform;

void Write(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
}

struct Redirection {
  std::string target;  // as written, quotes removed
  bool append = false;
};

struct Command {
  std::string text;  // the command without its redirection
  std::optional<Redirection> redirection;
};

// Splits off the first ">" or ">>" outside double quotes and its target, which may be
// quoted and needs no blank before it. Text after the target stays with the command.
Command ParseRedirection(const std::string& line) {
  Command command{line, std::nullopt};  // line comes trimmed
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] != '>' || quoted) continue;
    Redirection r;
    std::size_t at = i + 1;
    if (at < line.size() && line[at] == '>') {
      r.append = true;
      ++at;
    }
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    std::size_t end;
    if (at < line.size() && line[at] == '"') {
      end = line.find('"', at + 1);
      r.target = line.substr(at + 1, (end == std::string::npos ? line.size() : end) - at - 1);
      end = end == std::string::npos ? line.size() : end + 1;
    } else {
      end = line.find_first_of(" \t", at);
      if (end == std::string::npos) end = line.size();
      r.target = line.substr(at, end - at);
    }
    // Blanks around the redirection stay: "echo a > f" prints "a ".
    command.text = line.substr(0, i) + line.substr(end);
    command.redirection = r;
    return command;
  }
  return command;
}

class Interpreter {
 public:
  explicit Interpreter(Platform& platform) : platform_(platform) {}

  // Runs the lines in order; returns the exit code of the last command.
  int Run(const std::vector<std::string>& lines) {
    for (const auto& raw : lines) {
      RunLine(raw);
      if (exited_) break;
    }
    return exitCode_;
  }

 private:
  void RunLine(const std::string& raw) {
    std::string line = lanvoy::Trim(raw);
    bool quiet = false;
    while (!line.empty() && line[0] == '@') {
      quiet = true;
      line = lanvoy::Trim(line.substr(1));
    }
    if (line.empty() || line.rfind("::", 0) == 0) return;
    const std::string word = lanvoy::LowerCase(line.substr(0, line.find_first_of(" \t")));
    if (word == "rem") return;
    if (echo_ && !quiet) Write("\r\n" + Prompt() + line + "\r\n");

    const Command command = ParseRedirection(line);
    const std::size_t start = command.text.find_first_not_of(" \t");
    if (start == std::string::npos) return;
    const std::string text = command.text.substr(start);  // trailing blanks kept for echo
    const std::string verb = lanvoy::LowerCase(text.substr(0, text.find_first_of(" \t")));
    if (command.redirection && command.redirection->target.empty()) {
      Write("The syntax of the command is incorrect.\r\n");
      exitCode_ = 1;
      return;
    }
    std::string output;
    if (verb == "echo" || verb.rfind("echo.", 0) == 0) {
      exitCode_ = Echo(text, output);
    } else if (verb == "exit") {
      exitCode_ = Exit(text);
      exited_ = true;
      return;
    } else {
      exitCode_ = Start(lanvoy::Trim(text), command.redirection.has_value(), output);
    }
    if (command.redirection)
      Store(*command.redirection, output);
    else
      Write(output);
  }

  std::string Prompt() const {
    std::error_code ec;
    return std::filesystem::current_path(ec).string() + ">";
  }

  int Echo(const std::string& text, std::string& output) {
    std::string rest = text.substr(4);
    if (!rest.empty() && rest[0] == '.') {  // "echo." prints what follows, or an empty line
      output += rest.substr(1) + "\r\n";
      return 0;
    }
    const std::string argument = lanvoy::Trim(rest);
    if (lanvoy::SameText(argument, "off") || lanvoy::SameText(argument, "on")) {
      echo_ = lanvoy::SameText(argument, "on");
    } else if (argument.empty()) {
      output += echo_ ? "ECHO is on.\r\n" : "ECHO is off.\r\n";
    } else {
      output += rest.substr(1) + "\r\n";  // the one separating blank is not printed
    }
    return 0;
  }

  int Exit(const std::string& text) {
    const std::vector<std::string> words = lanvoy::SplitCommandLine(text);
    std::size_t at = 1;
    if (at < words.size() && lanvoy::SameText(words[at], "/b")) ++at;
    if (at >= words.size()) return exitCode_;
    try {
      return std::stoi(words[at]);
    } catch (const std::exception&) {
      return exitCode_;
    }
  }

  // Starts a program and waits for it. Redirected, its output is collected through a pipe;
  // otherwise it writes to this console directly.
  int Start(const std::string& commandLine, bool capture, std::string& output) {
    auto& processes = platform_.processes();
    lanvoy::platform::StartInfo info;
    info.commandLine = commandLine;
    info.creationFlags = 0x20;  // NORMAL_PRIORITY_CLASS: the child shares this console
    std::unique_ptr<lanvoy::platform::Pipe> in, out;
    uint32_t error = 0;
    if (capture) {
      in = processes.CreatePipe(error);
      if (in) out = processes.CreatePipe(error);
      if (!in || !out) {
        output += "The pipe could not be created (error " + std::to_string(error) + ").\r\n";
        return 1;
      }
      info.stdinPipe = in.get();
      info.stdoutPipe = out.get();
    }
    std::fflush(stdout);  // what this interpreter printed comes before the child's output
    auto process = processes.Start(info, error);
    if (!process) {
      Write(StartFailure(commandLine, error));
      // Windows reports 9009 for an unknown command; an exit code keeps one byte here.
      return 1;
    }
    if (capture) {
      in->CloseWriteEnd();  // the child reads an empty input
      char buffer[4096];
      uint32_t got = 0;
      while (out->Read(buffer, sizeof buffer, got) && got > 0) output.append(buffer, got);
    }
    process->Wait(lanvoy::platform::kInfinite);
    return static_cast<int>(process->ExitCode());
  }

  static std::string StartFailure(const std::string& commandLine, uint32_t error) {
    const std::string program = commandLine.substr(0, commandLine.find_first_of(" \t"));
    switch (error) {
      case 2:
        return "'" + program +
               "' is not recognized as an internal or external command,\r\n"
               "operable program or batch file.\r\n";
      case 3:
        return "The system cannot find the path specified.\r\n";
      case 5:
        return "Access is denied.\r\n";
      default:
        return "'" + program + "' could not be started (system error " + std::to_string(error) +
               ").\r\n";
    }
  }

  void Store(const Redirection& r, const std::string& output) {
    if (lanvoy::SameText(r.target, "nul")) return;
    const std::string path = platform_.system().NativePath(r.target);
    std::string bytes;
    if (r.append) bytes = lanvoy::ReadFileBytes(path).value_or(std::string());
    bytes += output;
    if (!lanvoy::WriteFileAtomic(path, bytes, lanvoy::Durability::kLazy)) {
      Write("The system cannot find the path specified.\r\n");
      exitCode_ = 1;
    }
  }

  Platform& platform_;
  bool echo_ = true;
  bool exited_ = false;
  int exitCode_ = 0;
};

bool IsBatchFileName(const std::string& name) {
  const std::string extension = lanvoy::LowerCase(
      name.size() >= 4 ? std::string_view(name).substr(name.size() - 4) : std::string_view());
  return extension == ".bat" || extension == ".cmd";
}

constexpr const char* kUsage =
    "Starts the command interpreter of the simulated host.\r\n"
    "\r\n"
    "CMD /C file     runs the batch file and ends\r\n"
    "CMD /C command  runs the command and ends\r\n";

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() < 2 || !lanvoy::SameText(args[0], "/c")) {
    Write(kUsage);
    return 1;
  }
  try {
    auto platform = lanvoy::platform::CreatePlatform();
    const std::string file = platform->system().NativePath(args[1]);
    std::vector<std::string> lines;
    // Only ".bat" and ".cmd" files are batch files (their parameters are not used); any
    // other name, even of a file in the current folder, is a command.
    if (IsBatchFileName(file) && lanvoy::FileExists(file)) {
      lines = lanvoy::ReadTextLines(file);
    } else {
      // Not a batch file: the words are one command; those with blanks get their quotes back.
      lines.push_back(
          lanvoy::JoinCommandLine(std::vector<std::string>(args.begin() + 1, args.end())));
    }
    Interpreter interpreter(*platform);
    const int code = interpreter.Run(lines);
    std::fflush(stdout);
    return code;
  } catch (const std::exception& e) {
    Write(std::string(e.what()) + "\r\n");
    return 1;
  }
}
