#include "mainwindow/questions.h"

#include <ostream>

namespace lanvoy {

namespace {

class EScriptExhausted : public Error {
 public:
  explicit EScriptExhausted(const std::string& question)
      : Error("no scripted answer for: " + question) {}
};

std::string ButtonNames(TMsgDlgButtons buttons) {
  std::string names;
  for (const MsgDlgButtonInfo& info : MsgDlgButtonTable()) {
    if (!buttons.Has(info.button)) continue;
    if (!names.empty()) names += ",";
    names += info.name;
  }
  return names;
}

}  // namespace

const char* MsgDlgTypeName(TMsgDlgType type) {
  switch (type) {
    case mtWarning:
      return "mtWarning";
    case mtError:
      return "mtError";
    case mtInformation:
      return "mtInformation";
    case mtConfirmation:
      return "mtConfirmation";
    case mtCustom:
      break;
  }
  return "mtCustom";
}

// A box that runs its script when shown: first the timer ticks, then the button, unless the
// countdown closed it already.
class ScriptedBox : public MsgDlgBox {
 public:
  ScriptedBox(ScriptedQuestions& owner, ScriptedQuestions::BoxAnswer answer)
      : owner_(owner), answer_(answer) {}
  void SetMessage(const std::string&) override {}
  void SetCountdownText(const std::string& text) override { owner_.countdown_.push_back(text); }
  void StartTimer(int, std::function<void()> tick) override { tick_ = std::move(tick); }
  void StopTimer() override { tick_ = nullptr; }
  void Close(int result) override { closed_ = result; }
  int ShowModal() override {
    ticked_ = answer_.tickBox;
    for (int i = 0; i < answer_.ticks && !closed_ && tick_; ++i) tick_();
    return closed_ ? *closed_ : answer_.result;
  }
  void Show(std::function<void(int)> onClose) override {
    ticked_ = answer_.tickBox;
    onClose(answer_.result);
  }
  bool CheckBoxTicked() const override { return ticked_; }

 private:
  ScriptedQuestions& owner_;
  ScriptedQuestions::BoxAnswer answer_;
  std::function<void()> tick_;
  std::optional<int> closed_;
  bool ticked_ = false;
};

int ScriptedQuestions::MessageDlg(const std::string& text, TMsgDlgType type,
                                  TMsgDlgButtons buttons) {
  std::string question = std::string("MessageDlg ") + MsgDlgTypeName(type) + ": " + text + " [" +
                         ButtonNames(buttons) + "]";
  asked_.push_back(question);
  if (messages_.empty()) {
    if (defaultMessage_) return *defaultMessage_;
    throw EScriptExhausted(question);
  }
  int result = messages_.front();
  messages_.pop_front();
  return result;
}

bool ScriptedQuestions::Confirm(const std::string& text, TMsgDlgType type, const std::string& yes,
                                const std::string& no) {
  std::string question =
      std::string("Confirm ") + MsgDlgTypeName(type) + ": " + text + " [" + yes + "," + no + "]";
  asked_.push_back(question);
  if (messages_.empty()) throw EScriptExhausted(question);
  const int result = messages_.front();
  messages_.pop_front();
  return result == mrYes;
}

std::string ScriptedQuestions::InputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& proposal) {
  std::string question = "InputBox " + caption + ": " + prompt + " [" + proposal + "]";
  asked_.push_back(question);
  if (inputs_.empty()) throw EScriptExhausted(question);
  std::optional<std::string> text = inputs_.front();
  inputs_.pop_front();
  return text ? *text : proposal;
}

std::optional<std::string> ScriptedQuestions::OpenFileName(const FileDialogOptions& options) {
  asked_.push_back("OpenFile " + options.filter);
  if (files_.empty()) throw EScriptExhausted("OpenFile");
  std::optional<std::string> name = files_.front();
  files_.pop_front();
  return name;
}

std::optional<std::string> ScriptedQuestions::SaveFileName(const FileDialogOptions& options) {
  asked_.push_back("SaveFile " + options.filter);
  if (files_.empty()) throw EScriptExhausted("SaveFile");
  std::optional<std::string> name = files_.front();
  files_.pop_front();
  return name;
}

std::unique_ptr<MsgDlgBox> ScriptedQuestions::CreateBox(const MsgDlgBoxPlan& plan) {
  std::string question = "Box " + plan.caption + ": " + plan.message;
  asked_.push_back(question);
  boxPlans_.push_back(plan);
  if (boxes_.empty()) throw EScriptExhausted(question);
  BoxAnswer answer = boxes_.front();
  boxes_.pop_front();
  return std::make_unique<ScriptedBox>(*this, answer);
}

// ---------------------------------------------------------------- unattended

namespace {

// The answer of a box nobody answers: the Escape button, else the only one.
int UnansweredResult(const MsgDlgButtonRow& row) {
  if (row.cancelIndex < 0 && row.buttons.size() == 1) return row.buttons[0].result;
  return MsgDlgCancelResult(row);
}

// A box that prints its message and closes at once: its countdown runs out at one go, or,
// without one, it closes as if dismissed.
class StreamBox : public MsgDlgBox {
 public:
  StreamBox(std::ostream& err, const MsgDlgBoxPlan& plan)
      : err_(err), message_(plan.message), unanswered_(UnansweredResult(plan.row)) {}
  void SetMessage(const std::string& text) override { message_ = text; }
  void SetCountdownText(const std::string&) override {}
  void StartTimer(int, std::function<void()> tick) override { tick_ = std::move(tick); }
  void StopTimer() override { tick_ = nullptr; }
  void Close(int result) override { closed_ = result; }
  int ShowModal() override {
    err_ << message_ << std::endl;
    // A countdown ends at the latest after 255 ticks.
    for (int i = 0; i < 256 && !closed_ && tick_; ++i) tick_();
    return closed_ ? *closed_ : unanswered_;
  }
  void Show(std::function<void(int)> onClose) override {
    err_ << message_ << std::endl;
    onClose(unanswered_);
  }
  bool CheckBoxTicked() const override { return false; }

 private:
  std::ostream& err_;
  std::string message_;
  int unanswered_;
  std::function<void()> tick_;
  std::optional<int> closed_;
};

}  // namespace

int UnattendedQuestions::MessageDlg(const std::string& text, TMsgDlgType type,
                                    TMsgDlgButtons buttons) {
  if (!unattended_) return window_.MessageDlg(text, type, buttons);
  err_ << text << std::endl;
  return UnansweredResult(MsgDlgButtonsOf(buttons));
}

bool UnattendedQuestions::Confirm(const std::string& text, TMsgDlgType type, const std::string& yes,
                                  const std::string& no) {
  if (!unattended_) return window_.Confirm(text, type, yes, no);
  err_ << text << std::endl;
  return false;
}

std::string UnattendedQuestions::InputBox(const std::string& caption, const std::string& prompt,
                                          const std::string& proposal) {
  if (!unattended_) return window_.InputBox(caption, prompt, proposal);
  return proposal;
}

std::optional<std::string> UnattendedQuestions::OpenFileName(const FileDialogOptions& options) {
  if (!unattended_) return window_.OpenFileName(options);
  return std::nullopt;
}

std::optional<std::string> UnattendedQuestions::SaveFileName(const FileDialogOptions& options) {
  if (!unattended_) return window_.SaveFileName(options);
  return std::nullopt;
}

std::unique_ptr<MsgDlgBox> UnattendedQuestions::CreateBox(const MsgDlgBoxPlan& plan) {
  if (!unattended_) return window_.CreateBox(plan);
  return std::make_unique<StreamBox>(err_, plan);
}

}  // namespace lanvoy
