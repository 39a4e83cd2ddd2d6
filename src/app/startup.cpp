#include "app/startup.h"

#include "base/files.h"
#include "base/strings.h"
#include "profiles/ini_file.h"

#include <algorithm>

namespace lanvoy {

StartupArguments ParseStartupArguments(const std::vector<std::string>& args) {
  StartupArguments result;
  result.hasArguments = !args.empty();
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string option = LowerCase(args[i]);
    if (option == "--force") {
      result.force = true;
    } else if (option == "--undo") {
      result.undo = true;
      // A number right after it counts the applies back; the undo refuses one that is not
      // kept.
      if (i + 1 < args.size() && !args[i + 1].empty() &&
          args[i + 1].find_first_not_of("0123456789") == std::string::npos) {
        const std::string& n = args[++i];
        result.undoBack = n.size() > 9 ? 999999999 : std::stoul(n);
      }
    } else if (option == "--keep") {
      result.keep = true;
    } else if (option == "--help" || option == "/?" || option == "-?") {
      result.help = true;
    } else if (option == "--handover" && i + 1 < args.size()) {
      result.handover = args[++i];
      result.hide = true;
    } else if (option == "--current") {
      result.current = true;
      if (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) result.currentName = args[++i];
    } else if (option == "--confirm-within" && i + 1 < args.size()) {
      result.confirmWithin = std::max(0, IniFile::IntegerOf(args[++i], 0));
    } else {
      result.positional.push_back(args[i]);
    }
  }
  // "--undo hide": no profile, but the window stays unshown all the same.
  if (result.undo && result.positional.size() == 1)
    result.positional.insert(result.positional.begin(), "");
  if (!result.positional.empty()) result.profileName = result.positional[0];
  if (result.positional.size() >= 2) result.hide = LowerCase(result.positional[1]) == "hide";
  // The profile comes by the handover: no name, and never a window.
  if (!result.handover.empty()) {
    result.positional = {"", "hide"};
    result.profileName.clear();
    result.hide = true;
  }
  return result;
}

bool MarkerFileExists(const std::string& nativeProgramDirectory, const std::string& name) {
  return FileExists(nativeProgramDirectory + name);
}

std::string UsageText() {
  return "Lanvoy applies network profiles.\r\n"
         "\r\n"
         "  Lanvoy                        the window\r\n"
         "  Lanvoy PROFILE [hide]         applies the profile and ends; \"hide\" shows no "
         "window\r\n"
         "      --force                   applies it although the checks found errors\r\n"
         "      --confirm-within SECONDS  undoes it unless \"Lanvoy --keep\" comes in time\r\n"
         "  Lanvoy --undo [hide]          puts back the settings before the last apply\r\n"
         "  Lanvoy --undo N [hide]        puts back the state before the apply N applies ago\r\n"
         "                                (1 to 10: the last ten are kept)\r\n"
         "  Lanvoy --keep                 keeps the settings of an apply that waits for it\r\n"
         "  Lanvoy --current [NAME]       prints what this computer has, as a profile\r\n"
         "  Lanvoy --help                 this text\r\n"
         "\r\n"
         "Exit codes: 0 applied; 1 failed or not started; 2 netsh refused lines or a stage\r\n"
         "could not do its part; 3 not every setting in place; 4 refused by the checks, nothing\r\n"
         "changed; 5 not kept in time, undone; 6 another apply was running.\r\n";
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
