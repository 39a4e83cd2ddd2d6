#include "app/startup.h"

#include "base/files.h"
#include "base/strings.h"

namespace lanvoy {

StartupArguments ParseStartupArguments(const std::vector<std::string>& args) {
  StartupArguments result;
  result.hasArguments = !args.empty();
  if (!args.empty()) result.profileName = args[0];
  if (args.size() >= 2) result.hide = LowerCase(args[1]) == "hide";
  return result;
}

bool MarkerFileExists(const std::string& nativeProgramDirectory, const std::string& name) {
  return FileExists(nativeProgramDirectory + name);
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
