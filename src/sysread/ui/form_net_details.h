// TFormNetDetails: the text window of the LAN state view. Created once and reused; closing
// it only hides it.
#pragma once

#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <string>

#include "sysread/lan_state.h"

namespace lanvoy {

class TFormNetDetails : public QDialog {
  Q_OBJECT
 public:
  explicit TFormNetDetails(QWidget* owner);

  // Starts over with the head lines.
  void Restart();
  // One piece of the command's output (the capture's OnNewLine).
  void DosCommandNewLine(int tag, const std::string& piece, TOutputType type);
  // The memo's lines, as shown.
  std::string Text() const;

  QPlainTextEdit* Memo = nullptr;
  QPushButton* Button1 = nullptr;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  LanStateFeed feed_;
};

}  // namespace lanvoy
