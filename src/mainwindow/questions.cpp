#include "mainwindow/questions.h"

#include <ostream>

namespace lanvoy {

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
                                    TMsgDlgButtons buttons,
                                    std::optional<TMsgDlgBtn> defaultButton) {
  if (!unattended_) {
    BeforeBox();
    return window_.MessageDlg(text, type, buttons, defaultButton);
  }
  err_ << text << std::endl;
  return UnansweredResult(MsgDlgButtonsOf(buttons));
}

bool UnattendedQuestions::Confirm(const std::string& text, TMsgDlgType type, const std::string& yes,
                                  const std::string& no) {
  if (!unattended_) {
    BeforeBox();
    return window_.Confirm(text, type, yes, no);
  }
  err_ << text << std::endl;
  return false;
}

std::optional<std::string> UnattendedQuestions::InputBox(const std::string& caption,
                                                         const std::string& prompt,
                                                         const std::string& proposal) {
  if (unattended_) return std::nullopt;
  BeforeBox();
  return window_.InputBox(caption, prompt, proposal);
}

std::optional<std::string> UnattendedQuestions::OpenFileName(const FileDialogOptions& options) {
  if (!unattended_) {
    BeforeBox();
    return window_.OpenFileName(options);
  }
  return std::nullopt;
}

std::optional<std::string> UnattendedQuestions::SaveFileName(const FileDialogOptions& options) {
  if (!unattended_) {
    BeforeBox();
    return window_.SaveFileName(options);
  }
  return std::nullopt;
}

std::unique_ptr<MsgDlgBox> UnattendedQuestions::CreateBox(const MsgDlgBoxPlan& plan) {
  if (!unattended_) {
    BeforeBox();
    return window_.CreateBox(plan);
  }
  return std::make_unique<StreamBox>(err_, plan);
}

}  // namespace lanvoy
