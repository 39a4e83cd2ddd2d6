// The questions answered by Qt windows: the standard message and input boxes, the file
// dialogs, and the message dialog's box built at run time.
#pragma once

#include <QWidget>

#include "mainwindow/questions.h"

namespace lanvoy {

class QtQuestions : public Questions {
 public:
  explicit QtQuestions(QWidget* owner = nullptr) : owner_(owner) {}
  void SetOwner(QWidget* owner) { owner_ = owner; }

  int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                 std::optional<TMsgDlgBtn> defaultButton = std::nullopt) override;
  bool Confirm(const std::string& text, TMsgDlgType type, const std::string& yes,
               const std::string& no) override;
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& proposal) override;
  std::optional<std::string> OpenFileName(const FileDialogOptions& options) override;
  std::optional<std::string> SaveFileName(const FileDialogOptions& options) override;
  std::unique_ptr<MsgDlgBox> CreateBox(const MsgDlgBoxPlan& plan) override;

 private:
  QWidget* owner_;
};

// "Desc|pattern|Desc|pattern" as Qt's "Desc (pattern);;Desc (pattern)".
QString QtFileFilter(const std::string& filter);

}  // namespace lanvoy
