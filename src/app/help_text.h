// The text of the help window, line by line.
#pragma once

#include <string>
#include <vector>

namespace lanvoy {

std::vector<std::string> HelpTextLines();

}  // namespace lanvoy
