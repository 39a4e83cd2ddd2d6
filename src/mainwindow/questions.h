// Everything the main window asks the user goes through Questions: message boxes, input
// boxes, file dialogs and the boxes of the two message dialogs. The program answers with Qt
// windows; tests answer from a script and keep what was asked.
#pragma once

#include <deque>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "components/msg_dlg.h"

namespace lanvoy {

struct FileDialogOptions {
  std::string defaultExt;  // without the dot
  // Pairs of description and pattern separated by "|".
  std::string filter;
  bool mustExist = false;        // open: the file and its folder must exist
  bool hideReadOnly = false;     // open: no read-only box
  bool overwritePrompt = false;  // save: ask before overwriting
};

class Questions : public MsgDlgBoxFactory {
 public:
  // The standard message box: returns the result code of the button (mrYes, mrOk, ...),
  // mrCancel when closed through its title bar. Enter presses defaultButton where given (a
  // destructive question's harmless answer), else the box's usual one.
  virtual int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                         std::optional<TMsgDlgBtn> defaultButton = std::nullopt) = 0;
  // A question with two buttons of the caller's captions ("Apply anyway", "Cancel"): true for
  // the first; closing the box is the second.
  virtual bool Confirm(const std::string& text, TMsgDlgType type, const std::string& yes,
                       const std::string& no) = 0;
  // The one-line input box, its text proposed; nullopt when the user cancels.
  virtual std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                              const std::string& proposal) = 0;
  // nullopt when the user cancels.
  virtual std::optional<std::string> OpenFileName(const FileDialogOptions& options) = 0;
  virtual std::optional<std::string> SaveFileName(const FileDialogOptions& options) = 0;
};

// The questions of a run that may be unattended. While unattended (a command-line apply
// with "hide"), nobody is there to answer: every message goes to the stream and is answered
// as if nobody answered it (the cancel button, no file, a countdown run out),
// so the program never waits. Otherwise everything goes to the window's questions.
class UnattendedQuestions : public Questions {
 public:
  UnattendedQuestions(Questions& window, std::ostream& err) : window_(window), err_(err) {}
  bool Unattended() const { return unattended_; }
  void SetUnattended(bool on) { unattended_ = on; }
  // Runs before the window's questions open a box or dialog (the splash closes, so that no
  // window of the program stands over it).
  std::function<void()> OnBeforeBox;

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
  void BeforeBox() {
    if (OnBeforeBox) OnBeforeBox();
  }
  Questions& window_;
  std::ostream& err_;
  bool unattended_ = false;
};

// Where no window can ask (a start without windows): every question is answered as the
// unattended apply answers it, its text on the stream.
class WindowlessQuestions : public Questions {
 public:
  explicit WindowlessQuestions(std::ostream& err) : answers_(*this, err) {
    answers_.SetUnattended(true);
  }
  int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                 std::optional<TMsgDlgBtn> defaultButton = std::nullopt) override {
    return answers_.MessageDlg(text, type, buttons, defaultButton);
  }
  bool Confirm(const std::string& text, TMsgDlgType type, const std::string& yes,
               const std::string& no) override {
    return answers_.Confirm(text, type, yes, no);
  }
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& proposal) override {
    return answers_.InputBox(caption, prompt, proposal);
  }
  std::optional<std::string> OpenFileName(const FileDialogOptions& options) override {
    return answers_.OpenFileName(options);
  }
  std::optional<std::string> SaveFileName(const FileDialogOptions& options) override {
    return answers_.SaveFileName(options);
  }
  std::unique_ptr<MsgDlgBox> CreateBox(const MsgDlgBoxPlan& plan) override {
    return answers_.CreateBox(plan);
  }

 private:
  UnattendedQuestions answers_;  // never asks its window, which is this
};

}  // namespace lanvoy
