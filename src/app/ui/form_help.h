// FormHelp: the help window with its fixed text, shown modally over the main window.
#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace lanvoy {

class TFormHelp : public QDialog {
  Q_OBJECT
 public:
  explicit TFormHelp(QWidget* parent);
  void ShowModalCentred(QWidget* over);
  QPlainTextEdit* Memo1 = nullptr;
};

}  // namespace lanvoy
