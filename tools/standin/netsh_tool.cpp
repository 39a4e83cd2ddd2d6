#include "standin/netsh_tool.h"

#include <chrono>
#include <cstdlib>
#include <optional>
#include <thread>

#include "base/command_line.h"
#include "base/files.h"
#include "base/strings.h"
#include "platform/standin_host.h"
#include "standin/netsh_script.h"
#include "standin/network_state.h"

namespace lanvoy::standin {

namespace {

bool IsOption(const std::string& arg, char letter) {
  return arg.size() == 2 && (arg[0] == '-' || arg[0] == '/') &&
         (arg[1] == letter || arg[1] == static_cast<char>(letter - 'a' + 'A'));
}

void Print(std::string& out, const std::string& line) {
  out += line;
  out += kCRLF;
}

constexpr const char* kUsage =
    "Usage: netsh [-c Context] [-f ScriptFile | Command]\r\n"
    "  -c Context    the context to start in, e.g. interface or \"interface ip\"\r\n"
    "  -f ScriptFile runs the commands of the file, one per line\r\n"
    "  Command       a single command, e.g. interface dump\r\n";

}  // namespace

int RunNetsh(const std::vector<std::string>& args, const std::filesystem::path& hostRoot,
             std::string& out) {
  std::optional<std::string> script;
  std::optional<std::string> context;
  std::vector<std::string> command;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const bool file = IsOption(args[i], 'f');
    if ((file || IsOption(args[i], 'c')) && command.empty()) {
      if (i + 1 >= args.size()) {
        out += kUsage;
        return 1;
      }
      (file ? script : context) = args[++i];
    } else {
      command.push_back(args[i]);
    }
  }
  if (!script && command.empty()) {
    // Interactive use has no console to talk to here.
    out += kUsage;
    return 1;
  }
  if (script && !command.empty()) {
    out += kUsage;
    return 1;
  }

  std::string text;
  if (script) {
    // The program names the script by its Windows path.
    auto bytes = ReadFileBytes(platform::StandinLocalPath(hostRoot, *script));
    if (!bytes) {
      Print(out, "The system cannot find the file specified.");
      Print(out, "Unable to open the script file " + *script + ".");
      return 1;
    }
    text = std::move(*bytes);
  }

  // A host whose file netsh-delay-ms holds a number takes that long over every script, as
  // Windows' netsh does over a DHCP switch or a DNS probe.
  if (script) {
    if (auto delay = ReadFileBytes((hostRoot / "netsh-delay-ms").string()))
      std::this_thread::sleep_for(std::chrono::milliseconds(std::atol(delay->c_str())));
  }

  const auto statePath = NetworkStatePath(hostRoot);
  try {
    NetworkState state = NetworkState::LoadOrCreate(statePath);
    NetshInterpreter netsh(state, NetshVersionFor(platform::StandinWindowsMajorVersion(hostRoot)));
    bool ok = !context || netsh.SetContext(*context);
    if (ok) ok = script ? netsh.RunScript(text) : netsh.Execute(lanvoy::JoinCommandLine(command));
    out += netsh.output();
    if (netsh.changed()) state.Save(statePath);
    return ok ? 0 : 1;
  } catch (const Error& e) {
    Print(out, e.what());
    return 1;
  }
}

}  // namespace lanvoy::standin
