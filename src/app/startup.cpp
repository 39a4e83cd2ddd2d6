#include "app/startup.h"

#include "base/files.h"
#include "base/strings.h"
#include "profiles/ini_file.h"

#include <algorithm>

namespace lanvoy {

namespace {

bool IsNumber(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// An option's word: "--" and letters; "-" alone or a name such as "-style" is a profile.
bool IsOption(const std::string& arg) {
  return arg.size() > 2 && arg.rfind("--", 0) == 0;
}

class Parser {
 public:
  Parser(const std::vector<std::string>& args, StartupArguments& result)
      : args_(args), r_(result) {}

  void Run() {
    bool optionsEnd = false;
    for (i_ = 0; i_ < args_.size() && r_.error.empty(); ++i_) {
      const std::string& arg = args_[i_];
      if (optionsEnd) {
        r_.positional.push_back(arg);
      } else if (arg == "--") {
        optionsEnd = true;
      } else if (arg == "/?" || arg == "-?") {
        SetCommand(Command::Help, arg);
      } else if (IsOption(arg)) {
        Option(LowerCase(arg));
      } else {
        r_.positional.push_back(arg);
      }
    }
  }

 private:
  void Option(const std::string& option) {
    if (option == "--help") {
      SetCommand(Command::Help, option);
    } else if (option == "--force") {
      r_.force = true;
    } else if (option == "--json") {
      r_.json = true;
    } else if (option == "--all") {
      r_.all = true;
    } else if (option == "--replace") {
      r_.replace = true;
    } else if (option == "--keep") {
      SetCommand(Command::Keep, option);
    } else if (option == "--list") {
      SetCommand(Command::List, option);
    } else if (option == "--undo") {
      SetCommand(Command::Undo, option);
      // A number right after it counts the applies back; the undo refuses one that is not
      // kept.
      if (const std::string* n = Optional(); n && IsNumber(*n))
        r_.undoBack = n->size() > 9 ? 999999999 : std::stoul(*n);
      else if (n)
        --i_;  // "hide", not a number
    } else if (option == "--history") {
      SetCommand(Command::History, option);
      if (const std::string* n = Optional(); n && IsNumber(*n))
        r_.historyLines = n->size() > 9 ? 999999999 : std::stoul(*n);
      else if (n)
        --i_;  // "hide", or an argument that has no place here
    } else if (option == "--current") {
      SetCommand(Command::Current, option);
      if (const std::string* name = Optional()) r_.currentName = *name;
    } else if (option == "--show" || option == "--check") {
      SetCommand(option == "--show" ? Command::Show : Command::Check, option);
      if (const std::string* name = Required(option, "a profile name")) r_.names = {*name};
    } else if (option == "--export") {
      SetCommand(Command::Export, option);
      while (const std::string* name = Optional()) r_.names.push_back(*name);
    } else if (option == "--to") {
      if (const std::string* file = Required(option, "a file name")) r_.to = *file;
    } else if (option == "--import") {
      SetCommand(Command::Import, option);
      if (const std::string* file = Required(option, "a file name")) r_.importFile = *file;
    } else if (option == "--handover") {
      if (const std::string* token = Required(option, "the token of the window")) {
        r_.handover = *token;
        r_.hide = true;
      }
    } else if (option == "--confirm-within") {
      if (const std::string* n = Required(option, "a number of seconds")) {
        if (!IsNumber(*n)) Fail(option + " takes a number of seconds, not \"" + *n + "\".");
        r_.confirmWithin = std::max(0, IniFile::IntegerOf(*n, 0));
      }
    } else {
      Fail("Unknown option " + args_[i_] + ".");
    }
  }

  // The next argument when it is no option; the position moves past it.
  const std::string* Optional() {
    if (i_ + 1 >= args_.size() || IsOption(args_[i_ + 1]) || args_[i_ + 1] == "--") return nullptr;
    return &args_[++i_];
  }
  const std::string* Required(const std::string& option, const std::string& what) {
    const std::string* value = Optional();
    if (!value) Fail(option + " needs " + what + ".");
    return value;
  }
  void SetCommand(Command command, const std::string& option) {
    if (r_.command != Command::Window && r_.command != command)
      return Fail(option + " cannot be given with another command; give one at a time.");
    r_.command = command;
  }
  void Fail(const std::string& message) {
    if (r_.error.empty()) r_.error = message;
  }

  const std::vector<std::string>& args_;
  StartupArguments& r_;
  size_t i_ = 0;
};

// The options that belong to one command only, given without it.
std::string MisplacedOption(const StartupArguments& r) {
  const bool applies = r.command == Command::Window;
  const bool unattended = (applies || r.command == Command::Undo) && r.hide;
  if (r.all && r.command != Command::Export) return "--all belongs to --export.";
  if (!r.to.empty() && r.command != Command::Export) return "--to belongs to --export.";
  if (r.replace && r.command != Command::Import) return "--replace belongs to --import.";
  // A command ends without a window anyway: "hide" with it changes nothing.
  if (r.command != Command::Window && r.command != Command::Undo)
    for (const std::string& arg : r.positional)
      if (LowerCase(arg) != "hide") return "Unexpected argument \"" + arg + "\".";
  if (r.command == Command::Export && r.names.empty() && !r.all)
    return "--export needs profile names, or --all.";
  if (r.json) {
    const Command c = r.command;
    if (!(unattended || c == Command::List || c == Command::Show || c == Command::Current ||
          c == Command::Check || c == Command::History || c == Command::Help))
      return "--json goes with --list, --show, --current, --check, --history, or an apply or "
             "undo with \"hide\".";
  }
  return "";
}

}  // namespace

bool StartupArguments::Windowless() const {
  return !error.empty() || (command != Command::Window && command != Command::Undo) || hide ||
         !handover.empty();
}

StartupArguments ParseStartupArguments(const std::vector<std::string>& args) {
  StartupArguments result;
  result.hasArguments = !args.empty();
  Parser(args, result).Run();
  // "--undo hide": no profile, but the window stays unshown all the same.
  if (result.command == Command::Undo && result.positional.size() == 1)
    result.positional.insert(result.positional.begin(), "");
  if (!result.positional.empty()) result.profileName = result.positional[0];
  if (result.positional.size() >= 2) result.hide = LowerCase(result.positional[1]) == "hide";
  // The profile comes by the handover: no name, and never a window.
  if (!result.handover.empty()) {
    result.positional = {"", "hide"};
    result.profileName.clear();
    result.hide = true;
  }
  if (result.error.empty()) result.error = MisplacedOption(result);
  return result;
}

bool MarkerFileExists(const std::string& nativeProgramDirectory, const std::string& name) {
  return FileExists(nativeProgramDirectory + name);
}

std::string UsageText() {
  std::string text =
      "Lanvoy applies network profiles.\r\n"
      "\r\n"
      "  Lanvoy                        the window\r\n"
      "  Lanvoy PROFILE [hide]         applies the profile and ends; \"hide\" shows no window\r\n"
      "      --force                   applies it although the checks found errors\r\n"
      "      --confirm-within SECONDS  undoes it unless \"Lanvoy --keep\" comes in time\r\n"
      "  Lanvoy --undo [hide]          puts back the settings before the last apply\r\n"
      "  Lanvoy --undo N [hide]        puts back the state before the apply N applies ago\r\n"
      "                                (1 to 10: the last ten are kept)\r\n"
      "  Lanvoy --keep                 keeps the settings of an apply that waits for it\r\n"
      "  Lanvoy --list                 the profiles' names, one a line, in the list's order\r\n"
      "  Lanvoy --show PROFILE         the profile as a section of the store\r\n"
      "  Lanvoy --check PROFILE        the checks before an apply, nothing applied\r\n"
      "  Lanvoy --export PROFILE... [--all] [--to FILE]\r\n"
      "                                the profiles as sections of the store\r\n"
      "  Lanvoy --import FILE [--replace]\r\n"
      "                                adds the file's profiles to the store; --replace\r\n"
      "                                replaces profiles of the same name\r\n"
      "  Lanvoy --history [N]          the last N lines of the history (10)\r\n"
      "  Lanvoy --current [NAME]       prints what this computer has, as a profile\r\n"
      "  Lanvoy --help                 this text\r\n"
      "\r\n"
      "  --json                        one JSON document on standard output, for --list,\r\n"
      "                                --show, --current, --check, --history, and an apply\r\n"
      "                                or undo with \"hide\"\r\n"
      "  --                            what follows is no option (a profile named \"--x\")\r\n"
      "\r\n"
      "Exit codes:\r\n";
  for (int code = 0; code <= 6; ++code)
    text += "  " + std::to_string(code) + "  " + ExitCodeMeaning(code) + "\r\n";
  return text;
}

std::string ExitCodeMeaning(int code) {
  switch (code) {
    case 0:
      return "done (applied, undone, or nothing found by --check)";
    case 1:
      return "failed or not started; a command line that cannot be run";
    case 2:
      return "netsh refused lines, or a stage could not do its part";
    case 3:
      return "not every setting in place afterwards";
    case 4:
      return "refused by the checks (--check: errors found); nothing changed";
    case 5:
      return "not kept in time: undone";
    case 6:
      return "another apply was running; nothing changed";
    default:
      return "unknown";
  }
}

std::string ProfileNotFoundMessage(const std::string& name) {
  const std::string q = "\"";
  return "Profile >" + name + "< not found !\r\n" +
         "Please refer to following syntax if you want to run Lanvoy with \r\n" +
         "parameters :\r\n" + q + "Filedir + filename" + q + " " + q + "PROFILENAME" + q + " " + q +
         "HIDE" + q + " . If you use the parameter \r\n" +
         "HIDE the progress bar will not appear. \r\n" +
         "Starting the program with valid parameters will allways cause the \r\n" +
         "termination of it after applying a profile.\r\n" +
         "NOTE: If you have spaces in the file path and profile name put the parameters between " +
         q + " -chars.\r\n" + "Example : " + q + "D:\\program files\\Lanvoy\\Lanvoy.exe" + q + " " +
         q + "office 1" + q + " " + q + "hide" + q + ".";
}

}  // namespace lanvoy
