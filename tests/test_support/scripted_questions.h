// Questions answered from a test's script, for the window's logic run without a person.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "mainwindow/questions.h"

namespace lanvoy {

// Answers from a script, in order, and records every question as one line of text:
//   "MessageDlg <type>: <text> [buttons]"       answered by the next int
//   "InputBox <caption>: <prompt> [<proposal>]" answered by the next text (nullopt = Cancel)
//   "OpenFile" / "SaveFile"                     answered by the next file name or nullopt
//   "Box <caption>: <message>"                  answered by the next BoxAnswer
// A question the script has no answer for fails the test through an exception.
class ScriptedQuestions : public Questions {
 public:
  struct BoxAnswer {
    int result = mrOk;     // the button pressed; ignored when ticks runs the countdown out
    bool tickBox = false;  // tick the don't-show-again box before closing
    int ticks = 0;         // timer ticks to run first (the countdown may close the box)
  };

  void AnswerMessage(int result) { messages_.push_back(result); }
  void AnswerInput(std::optional<std::string> text) { inputs_.push_back(std::move(text)); }
  void AnswerFile(std::optional<std::string> name) { files_.push_back(std::move(name)); }
  void AnswerBox(BoxAnswer answer) { boxes_.push_back(answer); }
  // Without a scripted answer, message boxes get this result (nullopt: fail).
  void SetDefaultMessageAnswer(std::optional<int> result) { defaultMessage_ = result; }

  const std::vector<std::string>& Asked() const { return asked_; }
  // Runs as each question is asked, with its line of the record.
  std::function<void(const std::string& asked)> OnAsk;
  // The plans of the boxes shown, and the countdown texts each showed.
  const std::vector<MsgDlgBoxPlan>& Boxes() const { return boxPlans_; }
  const std::vector<std::string>& CountdownTexts() const { return countdown_; }
  bool AllAnswered() const {
    return messages_.empty() && inputs_.empty() && files_.empty() && boxes_.empty();
  }

  int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                 std::optional<TMsgDlgBtn> defaultButton = std::nullopt) override;
  // Recorded as "Confirm <type>: <text> [<yes>,<no>]", answered by the next int (mrYes: yes).
  bool Confirm(const std::string& text, TMsgDlgType type, const std::string& yes,
               const std::string& no) override;
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& proposal) override;
  std::optional<std::string> OpenFileName(const FileDialogOptions& options) override;
  std::optional<std::string> SaveFileName(const FileDialogOptions& options) override;
  std::unique_ptr<MsgDlgBox> CreateBox(const MsgDlgBoxPlan& plan) override;

 private:
  friend class ScriptedBox;
  void Record(const std::string& question) {
    asked_.push_back(question);
    if (OnAsk) OnAsk(question);
  }
  std::deque<int> messages_;
  std::deque<std::optional<std::string>> inputs_;
  std::deque<std::optional<std::string>> files_;
  std::deque<BoxAnswer> boxes_;
  std::optional<int> defaultMessage_;
  std::vector<std::string> asked_;
  std::vector<MsgDlgBoxPlan> boxPlans_;
  std::vector<std::string> countdown_;
};

// "mtWarning" and so on, for the record of questions.
const char* MsgDlgTypeName(TMsgDlgType type);

}  // namespace lanvoy
