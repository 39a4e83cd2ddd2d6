#include "sysread/qt/form_net_details.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextCursor>

#include "mainwindow/qt/qt_text.h"

namespace lanvoy {

TFormNetDetails::TFormNetDetails(QWidget* owner)
    : QtLayoutWindow(NetDetailsFormLayout(), owner), memo_(WidgetNamed<QPlainTextEdit>("Memo")) {
  // Esc presses OK: the dialog's reject closes the window.
  Controls().Get<Button>("Button1").OnClick = [this] { reject(); };
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

void TFormNetDetails::SetText(const std::string& text) {
  // A text ending in a line break: what follows goes on the next line.
  memo_->setPlainText(Q(text));
}

void TFormNetDetails::AppendLine(const std::string& line) {
  QTextCursor cursor(memo_->document());
  cursor.movePosition(QTextCursor::End);
  // The document always ends with an empty block: the new line goes into it.
  cursor.insertText(FromOem(line) + "\n");
}

void TFormNetDetails::ReplaceLastLine(const std::string& line) {
  QTextCursor cursor(memo_->document());
  cursor.movePosition(QTextCursor::End);
  cursor.movePosition(QTextCursor::PreviousBlock);
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  cursor.insertText(FromOem(line));
}

}  // namespace lanvoy
