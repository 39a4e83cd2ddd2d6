#include "mainwindow/qt/qt_text.h"

#include "platform/code_pages.h"

namespace lanvoy {

namespace {

// Until the machine's are installed: UTF-8, and the OEM code page of a western Windows.
struct CodePages {
  uint32_t ansi = 65001, oem = 850;
};

CodePages& Installed() {
  static CodePages pages;
  return pages;
}

}  // namespace

void InstallQtCodePages(platform::System& system) {
  Installed() = {system.AnsiCodePage(), system.OemCodePage()};
}

QString Q(const std::string& ansi) {
  return QString::fromStdString(platform::CodePageToUtf8(ansi, Installed().ansi))
      .replace("\r\n", "\n");
}

std::string S(const QString& text) {
  return platform::Utf8ToCodePage(QString(text).replace("\n", "\r\n").toStdString(),
                                  Installed().ansi);
}

QString FromOem(const std::string& oem) {
  return QString::fromStdString(platform::CodePageToUtf8(oem, Installed().oem));
}

}  // namespace lanvoy
