#include "mainwindow/qt/qt_questions.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <map>

#include "mainwindow/layout.h"
#include "mainwindow/qt/qt_controls.h"
#include "mainwindow/qt/qt_text.h"

namespace lanvoy {

namespace {

// Each caption's width is measured once and kept for the run.
int CaptionWidth(const QFontMetrics& fm, const QString& caption) {
  static std::map<QString, int> widths;
  auto it = widths.find(caption);
  if (it != widths.end()) return it->second;
  QString shown = caption;
  shown.remove('&');
  int w = fm.horizontalAdvance(shown);
  widths[caption] = w;
  return w;
}

// What the box shows, measured in its fonts, laid out by the dialog's rules.
WindowLayout BoxLayout(const MsgDlgBoxPlan& plan) {
  QFont font("Tahoma");
  font.setPixelSize(11);
  QFont bold = font;
  bold.setBold(true);
  const QFontMetrics fm(bold), bfm(font);
  MsgDlgMetrics m;
  m.lettersWidth = fm.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  m.charHeight = fm.height();
  for (const MsgDlgButtonInfo& b : plan.row.buttons)
    m.captionWidths.push_back(CaptionWidth(bfm, b.caption));
  const QScreen* screen = QGuiApplication::primaryScreen();
  const int maxText = screen ? screen->geometry().width() / 2 : 640;
  const QRect text = fm.boundingRect(QRect(0, 0, maxText, 0), Qt::TextWordWrap, Q(plan.message));
  m.textWidth = text.width();
  m.textHeight = text.height();
  // The caption and the box's mark.
  m.checkBoxWidth = fm.horizontalAdvance(Q(plan.checkBoxCaption).remove('&')) + 16;
  m.checkBoxHeight = fm.height();
  return MsgDlgBoxLayout(plan, MsgDlgBoxGeometry(plan, m));
}

class QtMsgDlgBox : public QtLayoutWindow, public MsgDlgBox {
 public:
  QtMsgDlgBox(const MsgDlgBoxPlan& plan, QWidget* owner)
      : QtLayoutWindow(BoxLayout(plan), owner),
        message_(WidgetNamed<QLabel>("Message")),
        countdown_(plan.showCountdown ? WidgetNamed<QLabel>("Countdown") : nullptr),
        check_(Controls().Find("DontShowAgain") ? WidgetNamed<QCheckBox>("DontShowAgain")
                                                : nullptr) {
    setLayoutDirection(QApplication::layoutDirection());
    ConnectMsgDlgButtons(plan, Controls(), [this](int result) { Close(result); });
    cancelResult_ = MsgDlgCancelResult(plan.row);
    if (auto* gauge = Controls().Find("Gauge") ? WidgetNamed<QProgressBar>("Gauge") : nullptr) {
      gauge->setRange(0, plan.gaugeMaxValue);
      gauge->setTextVisible(plan.gaugeShowText);
    }
    if (countdown_) {
      countdown_->setAlignment(Qt::AlignRight);
      countdownRight_ = countdown_->x();
      countdownTop_ = countdown_->y();
    }
    connect(&timer_, &QTimer::timeout, this, [this] {
      if (tick_) tick_();
    });
    // Centred on the screen.
    if (screen()) move(screen()->geometry().center() - rect().center());
  }

  void SetMessage(const std::string& text) override { message_->setText(Q(text)); }
  void SetCountdownText(const std::string& text) override {
    if (!countdown_) return;
    countdown_->setText(Q(text));
    countdown_->adjustSize();
    countdown_->move(countdownRight_ - countdown_->width(), countdownTop_);
  }
  void StartTimer(int intervalMs, std::function<void()> tick) override {
    tick_ = std::move(tick);
    timer_.start(intervalMs);
  }
  void StopTimer() override { timer_.stop(); }
  void Close(int result) override {
    closedBy_ = result;
    done(result);
  }
  int ShowModal() override {
    closedBy_ = mrCancel;  // the title bar's close box
    exec();
    return closedBy_;
  }
  void Show(std::function<void(int)> onClose) override {
    connect(this, &QDialog::finished, this, [this, onClose](int) { onClose(closedBy_); });
    show();
  }
  bool CheckBoxTicked() const override { return check_ && check_->isChecked(); }

 protected:
  void reject() override { Close(escapePressed_ ? cancelResult_ : mrCancel); }
  void keyPressEvent(QKeyEvent* event) override {
    escapePressed_ = event->key() == Qt::Key_Escape;
    QDialog::keyPressEvent(event);
    escapePressed_ = false;
  }

 private:
  QLabel* message_;
  QLabel* countdown_;
  QCheckBox* check_;
  QTimer timer_;
  std::function<void()> tick_;
  int closedBy_ = mrCancel;
  int cancelResult_ = mrCancel;
  int countdownRight_ = 0, countdownTop_ = 0;
  bool escapePressed_ = false;
};

}  // namespace

QString QtFileFilter(const std::string& filter) {
  QStringList parts = Q(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString pattern = parts[i + 1];
    pattern.replace(';', ' ');
    QString desc = parts[i];
    out << (desc.contains("(" + pattern + ")") ? desc : desc + " (" + pattern + ")");
  }
  return out.join(";;");
}

int QtQuestions::MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                            std::optional<TMsgDlgBtn> defaultButton) {
  QMessageBox box(owner_);
  box.setWindowTitle(type == mtCustom ? QApplication::applicationName() : MsgDlgCaption(type));
  box.setText(Q(text));
  box.setIcon(type == mtWarning        ? QMessageBox::Warning
              : type == mtError        ? QMessageBox::Critical
              : type == mtInformation  ? QMessageBox::Information
              : type == mtConfirmation ? QMessageBox::Question
                                       : QMessageBox::NoIcon);
  std::map<QAbstractButton*, int> results;
  const MsgDlgButtonRow row = MsgDlgButtonsOf(buttons, defaultButton);
  for (size_t i = 0; i < row.buttons.size(); ++i) {
    const MsgDlgButtonInfo& info = row.buttons[i];
    // The results are the box's own; Qt's roles only order the row.
    QPushButton* b = box.addButton(Q(info.caption), QMessageBox::ActionRole);
    results[b] = info.result;
    if (static_cast<int>(i) == row.defaultIndex) box.setDefaultButton(b);
    if (static_cast<int>(i) == row.cancelIndex) box.setEscapeButton(b);
  }
  box.exec();
  auto it = results.find(box.clickedButton());
  return it == results.end() ? mrCancel : it->second;
}

bool QtQuestions::Confirm(const std::string& text, TMsgDlgType type, const std::string& yes,
                          const std::string& no) {
  QMessageBox box(owner_);
  box.setWindowTitle(MsgDlgCaption(type));
  box.setText(Q(text));
  box.setIcon(type == mtError ? QMessageBox::Critical : QMessageBox::Warning);
  QPushButton* first = box.addButton(Q(yes), QMessageBox::AcceptRole);
  QPushButton* second = box.addButton(Q(no), QMessageBox::RejectRole);
  box.setDefaultButton(second);
  box.setEscapeButton(second);
  box.exec();
  return box.clickedButton() == first;
}

// Laid out as the Win32 box: Qt's own input dialog is as narrow as its prompt, and a
// title bar cut its caption.
std::optional<std::string> QtQuestions::InputBox(const std::string& caption,
                                                 const std::string& prompt,
                                                 const std::string& proposal) {
  QtLayoutWindow box(InputBoxLayout(caption, prompt, proposal), owner_);
  box.Controls().Get<Button>("OK").OnClick = [&box] { box.accept(); };
  box.Controls().Get<Button>("Cancel").OnClick = [&box] { box.reject(); };
  auto* value = box.WidgetNamed<QLineEdit>("Value");
  value->selectAll();
  value->setFocus();
  if (owner_) box.move(owner_->frameGeometry().center() - box.rect().center());
  if (box.exec() != QDialog::Accepted) return std::nullopt;
  return S(value->text());
}

std::optional<std::string> QtQuestions::OpenFileName(const FileDialogOptions& options) {
  QFileDialog dialog(owner_);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(options.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setNameFilter(QtFileFilter(options.filter));
  dialog.setDefaultSuffix(Q(options.defaultExt));
  if (options.hideReadOnly) dialog.setOption(QFileDialog::ReadOnly, false);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return S(dialog.selectedFiles().front());
}

std::optional<std::string> QtQuestions::SaveFileName(const FileDialogOptions& options) {
  QFileDialog dialog(owner_);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter(QtFileFilter(options.filter));
  dialog.setDefaultSuffix(Q(options.defaultExt));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.overwritePrompt);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return S(dialog.selectedFiles().front());
}

std::unique_ptr<MsgDlgBox> QtQuestions::CreateBox(const MsgDlgBoxPlan& plan) {
  return std::make_unique<QtMsgDlgBox>(plan, owner_);
}

}  // namespace lanvoy
