#include "app/help_text.h"

namespace lanvoy {

std::vector<std::string> HelpTextLines() {
  const std::string rule(127, '-');
  return {
      "Customizing Netscape within a profile?",
      "",
      "You can store and reactivate a Netscape browsers profile if you use the batch file "
      "execution.",
      "Simply make a copy of the \"prefs.js\"- file in your netscape profile directory and copy "
      "it back",
      "with Lanvoy just before you launch Netscape.",
      "",
      "Example:",
      "",
      "Copy \"C:\\anydir...\\prefs.bak1\"  \"C:\\anydir...\\prefs.js\"",
      "",
      "",
      rule,
      "",
      "Known bugs:",
      "",
      "If the system dialog for a network connection is open lanvoy will fail to apply a "
      "profile (IP-addresses).",
      "",
      "If you often use the hibernated mode (German = \"Ruhezustand\") for switching off your "
      "PC/ Laptop,",
      "the system might fail to apply the settings for your network card from time to time.",
      "To fix this, the only thing you could do is to perform a standard reboot :-(",
      "",
      "",
      "",
      rule,
      "How to start Lanvoy with parameters?",
      "",
      "Please refer to following syntax if you want to run Lanvoy with parameters :",
      "",
      "\"full path of lanvoy\" \"profile name\" \"HIDE\" .",
      "",
      "If you use the parameter \"HIDE\" the progress bar will not appear.",
      "Starting the program with valid parameters will allways cause the",
      "termination of it after applying a profile.",
      "",
      "NOTE: If you have spaces in the file path and/or profile name put the parameters between "
      "\" -chars.",
      "",
      "Example : \"D:\\program files\\Lanvoy\\Lanvoy.exe\" \"office 1\" \"hide\"",
      "",
      rule,
      "What is the hosts file ?",
      "",
      "Before windows asks a specified DNS- server for resolving a host name into an IP address",
      "windows looks at this file if an IP- address is specified already. If so the DNS- Server "
      "is not used.",
      "",
      rule,
      "What can the script section be used for?",
      "",
      "The Script section allows to define a script for advanced purpose (i.e. you could map a "
      "network drive).",
      "You can execute a script within a profile as batch, visual basic, java or windows script "
      "file. The kind of script",
      "is defined with the combo box situated in the script section.",
      "",
      rule,
      "",
      "",
      "",
  };
}

}  // namespace lanvoy
