#include "test_support/scripted_questions.h"

#include "base/error.h"

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

int ScriptedQuestions::MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                                  std::optional<TMsgDlgBtn> defaultButton) {
  std::string question = std::string("MessageDlg ") + MsgDlgTypeName(type) + ": " + text + " [" +
                         ButtonNames(buttons) + "]";
  // Where the caller chose the Enter button, the record says which.
  if (defaultButton) {
    const MsgDlgButtonRow row = MsgDlgButtonsOf(buttons, defaultButton);
    if (row.defaultIndex >= 0)
      question +=
          std::string(" default ") + row.buttons[static_cast<size_t>(row.defaultIndex)].name;
  }
  Record(question);
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
  Record(question);
  if (messages_.empty()) throw EScriptExhausted(question);
  const int result = messages_.front();
  messages_.pop_front();
  return result == mrYes;
}

std::optional<std::string> ScriptedQuestions::InputBox(const std::string& caption,
                                                       const std::string& prompt,
                                                       const std::string& proposal) {
  std::string question = "InputBox " + caption + ": " + prompt + " [" + proposal + "]";
  Record(question);
  if (inputs_.empty()) throw EScriptExhausted(question);
  std::optional<std::string> text = inputs_.front();
  inputs_.pop_front();
  return text;
}

std::optional<std::string> ScriptedQuestions::OpenFileName(const FileDialogOptions& options) {
  Record("OpenFile " + options.filter);
  if (files_.empty()) throw EScriptExhausted("OpenFile");
  std::optional<std::string> name = files_.front();
  files_.pop_front();
  return name;
}

std::optional<std::string> ScriptedQuestions::SaveFileName(const FileDialogOptions& options) {
  Record("SaveFile " + options.filter);
  if (files_.empty()) throw EScriptExhausted("SaveFile");
  std::optional<std::string> name = files_.front();
  files_.pop_front();
  return name;
}

std::unique_ptr<MsgDlgBox> ScriptedQuestions::CreateBox(const MsgDlgBoxPlan& plan) {
  std::string question = "Box " + plan.caption + ": " + plan.message;
  Record(question);
  boxPlans_.push_back(plan);
  if (boxes_.empty()) throw EScriptExhausted(question);
  BoxAnswer answer = boxes_.front();
  boxes_.pop_front();
  return std::make_unique<ScriptedBox>(*this, answer);
}

}  // namespace lanvoy
