#include "sysread/ui/form_net_details.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>

namespace lanvoy {
namespace {

// Console programs write in the OEM code page; the bytes are shown as that page.
QString FromOem(const std::string& bytes) {
  static QStringDecoder decoder("IBM 850");
  if (decoder.isValid()) return decoder.decode(QByteArray::fromStdString(bytes));
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

TFormNetDetails::TFormNetDetails(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setObjectName("FormNetDetails");
  setWindowTitle(kLanStateCaption);
  resize(438, 449);
  setMinimumSize(100, 140);
  Memo = new QPlainTextEdit(this);
  Memo->setObjectName("Memo");
  QFont font("Terminal");
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPointSize(9);
  Memo->setFont(font);
  QPalette palette = Memo->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Button));
  Memo->setPalette(palette);
  Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Button1 = new QPushButton("OK", this);
  Button1->setObjectName("Button1");
  // Esc presses it: the dialog's reject closes the window.
  connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

void TFormNetDetails::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  const int buttonWidth = 75, buttonHeight = 25, margin = 8;
  Button1->setGeometry(width() - buttonWidth - margin, height() - buttonHeight - margin,
                       buttonWidth, buttonHeight);
  Memo->setGeometry(0, 0, width(), height() - buttonHeight - 2 * margin);
}

void TFormNetDetails::Restart() {
  feed_.Reset();
  // The head ends with a line break: the report follows on the next line.
  Memo->setPlainText(QString::fromLatin1(kLanStateHead).replace("\r\n", "\n"));
}

void TFormNetDetails::DosCommandNewLine(int tag, const std::string& piece, TOutputType type) {
  const LanStateFeed::Step step = feed_.Accept(tag, piece, type);
  if (step.action == LanStateFeed::Action::Ignore) return;
  QTextCursor cursor(Memo->document());
  cursor.movePosition(QTextCursor::End);
  if (step.action == LanStateFeed::Action::ReplaceLast) {
    cursor.movePosition(QTextCursor::PreviousBlock);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(FromOem(step.text));
  } else {
    // The document always ends with an empty block: the new line goes into it.
    cursor.insertText(FromOem(step.text) + "\n");
  }
}

std::string TFormNetDetails::Text() const {
  return Memo->toPlainText().toStdString();
}

}  // namespace lanvoy
