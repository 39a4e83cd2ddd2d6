#include "mainwindow/qt/qt_text.h"

#include <QStringDecoder>

namespace lanvoy {

namespace {

struct CodePages {
  TextConversion ansiToUtf8, utf8ToAnsi, oemToUtf8;
};

CodePages& Installed() {
  static CodePages pages;
  return pages;
}

std::string Convert(const TextConversion& conversion, std::string_view text) {
  return conversion ? conversion(text) : std::string(text);
}

}  // namespace

void InstallQtCodePages(TextConversion ansiToUtf8, TextConversion utf8ToAnsi,
                        TextConversion oemToUtf8) {
  Installed() = {std::move(ansiToUtf8), std::move(utf8ToAnsi), std::move(oemToUtf8)};
}

QString Q(const std::string& ansi) {
  return QString::fromStdString(Convert(Installed().ansiToUtf8, ansi)).replace("\r\n", "\n");
}

std::string S(const QString& text) {
  return Convert(Installed().utf8ToAnsi, QString(text).replace("\n", "\r\n").toStdString());
}

QString FromOem(const std::string& oem) {
  if (Installed().oemToUtf8) return QString::fromStdString(Installed().oemToUtf8(oem));
  // The OEM code page of a western Windows.
  static QStringDecoder decoder("IBM 850");
  if (decoder.isValid()) return decoder.decode(QByteArray::fromStdString(oem));
  return QString::fromLatin1(oem.data(), static_cast<qsizetype>(oem.size()));
}

}  // namespace lanvoy
