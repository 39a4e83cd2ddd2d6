// Lanvoy's text is 8-bit, in the machine's code pages; Qt's is Unicode. Every string that
// crosses into a Qt widget and back goes through these.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace lanvoy {

// The machine's ANSI and OEM code pages and its conversions, for the whole program (as the
// code pages are the whole machine's). Until installed, text is UTF-8.
void InstallQtCodePages(platform::System& system);

// ANSI text to Qt; its CR LF line breaks become Qt's LF.
QString Q(const std::string& ansi);
// Qt's text to ANSI, LF line breaks as CR LF.
std::string S(const QString& text);
// Console output in the OEM code page to Qt.
QString FromOem(const std::string& oem);

}  // namespace lanvoy
