#include "mainwindow/ui/qt_questions.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <map>

namespace lanvoy {

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

QString Crlf(const std::string& s) {
  return Q(s).replace("\r\n", "\n");
}

QStyle::StandardPixmap IconOf(TMsgDlgType type) {
  switch (type) {
    case mtWarning:
      return QStyle::SP_MessageBoxWarning;
    case mtError:
      return QStyle::SP_MessageBoxCritical;
    case mtInformation:
      return QStyle::SP_MessageBoxInformation;
    case mtConfirmation:
      return QStyle::SP_MessageBoxQuestion;
    case mtCustom:
      break;
  }
  return QStyle::SP_CustomBase;
}

int MulDiv(int a, int b, int c) {
  return c == 0 ? 0 : static_cast<int>((int64_t(a) * b + c / 2) / c);
}

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

class QtMsgDlgBox : public QDialog, public MsgDlgBox {
 public:
  explicit QtMsgDlgBox(const MsgDlgBoxSpec& plan, QWidget* owner) : QDialog(owner) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(Q(plan.caption));
    setLayoutDirection(QApplication::layoutDirection());
    QFont font("Tahoma");
    font.setPixelSize(11);
    font.setBold(true);
    setFont(font);
    QFont buttonFont("Tahoma");
    buttonFont.setPixelSize(11);

    // Dialog units of the box's font.
    const QFontMetrics fm(font);
    const QString letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const int avgWidth = MulDiv(fm.horizontalAdvance(letters), 1, 52);
    const int charHeight = fm.height();
    auto hu = [avgWidth](int n) { return MulDiv(n, avgWidth, 4); };
    auto vu = [charHeight](int n) { return MulDiv(n, charHeight, 8); };
    const int hMargin = hu(8), vMargin = vu(8), hSpacing = hu(10);
    int vSpacing = vu(10);
    const QFontMetrics bfm(buttonFont);
    int buttonWidth = hu(50);
    for (const MsgDlgButtonInfo& b : plan.row.buttons)
      buttonWidth = std::max(buttonWidth, CaptionWidth(bfm, b.caption) + 8);
    const int n = static_cast<int>(plan.row.buttons.size());
    const int buttonHeight = n > 0 ? vu(14) : 0;
    const int buttonSpacing = hu(4);

    const QString text = Crlf(plan.message);
    const int maxText = screen() ? screen()->geometry().width() / 2 : 640;
    QRect textRect = fm.boundingRect(QRect(0, 0, maxText, 0), Qt::TextWordWrap, text);
    const bool hasIcon = plan.type != mtCustom;
    int textWidth = textRect.width(), textHeight = textRect.height();
    int areaWidth = textWidth + (hasIcon ? 32 + hSpacing : 0);
    int areaHeight = hasIcon ? std::max(textHeight, 32) : textHeight;
    if (plan.checkBox) vSpacing += 26;
    const int rowWidth = n * buttonWidth + std::max(0, n - 1) * buttonSpacing;
    const int clientWidth = std::max(areaWidth, rowWidth) + 2 * hMargin;
    const int clientHeight = areaHeight + buttonHeight + vSpacing + 2 * vMargin;
    setFixedSize(clientWidth, clientHeight);

    if (hasIcon) {
      auto* image = new QLabel(this);
      image->setObjectName("Image");
      image->setPixmap(style()->standardIcon(IconOf(plan.type)).pixmap(32, 32));
      image->setGeometry(hMargin, vMargin, 32, 32);
    }
    message_ = new QLabel(text, this);
    message_->setObjectName("Message");
    message_->setWordWrap(true);
    message_->setGeometry(hMargin + areaWidth - textWidth, vMargin, textWidth, textHeight);

    const int top = areaHeight + vMargin + vSpacing;
    int x = (clientWidth - rowWidth) / 2;
    for (int i = 0; i < n; ++i) {
      const MsgDlgButtonInfo& info = plan.row.buttons[static_cast<size_t>(i)];
      auto* button = new QPushButton(Q(info.caption), this);
      button->setObjectName(info.name);
      button->setFont(buttonFont);
      button->setGeometry(x, top, buttonWidth, buttonHeight);
      button->setDefault(i == plan.row.defaultIndex);
      button->setAutoDefault(false);
      const int result = info.result;
      if (info.button != mbHelp)
        connect(button, &QPushButton::clicked, this, [this, result] { Close(result); });
      x += buttonWidth + buttonSpacing;
      if (i == 0 && plan.checkBox) {
        check_ = new QCheckBox(Q(plan.checkBoxCaption), this);
        check_->setObjectName("DontShowAgain");
        QString shown = Q(plan.checkBoxCaption).remove('&');
        check_->setGeometry(12, top - 26, fm.horizontalAdvance(shown) + 10 + 16, fm.height() + 10);
      }
    }
    cancelResult_ = plan.row.cancelIndex >= 0
                        ? plan.row.buttons[static_cast<size_t>(plan.row.cancelIndex)].result
                        : mrCancel;

    if (plan.gaugeMaxValue > 0) {
      auto* gauge = new QProgressBar(this);
      gauge->setObjectName("Gauge");
      gauge->setRange(0, plan.gaugeMaxValue);
      gauge->setValue(0);
      gauge->setTextVisible(plan.gaugeShowText);
      gauge->setGeometry(0, clientHeight - 12, clientWidth, 12);
    }
    if (plan.showCountdown) {
      countdown_ = new QLabel(this);
      countdown_->setObjectName("Countdown");
      countdown_->setAlignment(Qt::AlignRight);
      countdownRight_ = clientWidth - 10;
      countdownTop_ = clientHeight - 20;
    }
    connect(&timer_, &QTimer::timeout, this, [this] {
      if (tick_) tick_();
    });
    // Centred on the screen.
    if (screen()) move(screen()->geometry().center() - rect().center());
  }

  void SetMessage(const std::string& text) override { message_->setText(Crlf(text)); }
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
  QLabel* message_ = nullptr;
  QLabel* countdown_ = nullptr;
  QCheckBox* check_ = nullptr;
  QTimer timer_;
  std::function<void()> tick_;
  int closedBy_ = mrCancel;
  int cancelResult_ = mrCancel;
  int countdownRight_ = 0, countdownTop_ = 0;
  bool escapePressed_ = false;
};

QMessageBox::StandardButton StandardOf(TMsgDlgBtn b) {
  switch (b) {
    case mbYes:
      return QMessageBox::Yes;
    case mbNo:
      return QMessageBox::No;
    case mbOK:
      return QMessageBox::Ok;
    case mbCancel:
      return QMessageBox::Cancel;
    case mbAbort:
      return QMessageBox::Abort;
    case mbRetry:
      return QMessageBox::Retry;
    case mbIgnore:
      return QMessageBox::Ignore;
    case mbAll:
      return QMessageBox::YesToAll;  // Qt has no "All"; its role is the nearest
    case mbNoToAll:
      return QMessageBox::NoToAll;
    case mbYesToAll:
      return QMessageBox::YesToAll;
    case mbHelp:
      return QMessageBox::Help;
  }
  return QMessageBox::NoButton;
}

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

int QtQuestions::MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
  QMessageBox box(owner_);
  box.setWindowTitle(type == mtCustom ? QApplication::applicationName() : MsgDlgCaption(type));
  box.setText(Crlf(text));
  box.setIcon(type == mtWarning        ? QMessageBox::Warning
              : type == mtError        ? QMessageBox::Critical
              : type == mtInformation  ? QMessageBox::Information
              : type == mtConfirmation ? QMessageBox::Question
                                       : QMessageBox::NoIcon);
  std::map<QAbstractButton*, int> results;
  const MsgDlgButtonRow row = MsgDlgButtonsOf(buttons);
  for (size_t i = 0; i < row.buttons.size(); ++i) {
    const MsgDlgButtonInfo& info = row.buttons[i];
    QPushButton* b = box.addButton(StandardOf(info.button));
    b->setText(Q(info.caption));
    results[b] = info.result;
    if (static_cast<int>(i) == row.defaultIndex) box.setDefaultButton(b);
    if (static_cast<int>(i) == row.cancelIndex) box.setEscapeButton(b);
  }
  box.exec();
  auto it = results.find(box.clickedButton());
  return it == results.end() ? mrCancel : it->second;
}

std::string QtQuestions::InputBox(const std::string& caption, const std::string& prompt,
                                  const std::string& proposal) {
  bool ok = false;
  QString text =
      QInputDialog::getText(owner_, Q(caption), Q(prompt), QLineEdit::Normal, Q(proposal), &ok);
  return ok ? text.toStdString() : proposal;
}

std::optional<std::string> QtQuestions::OpenFileName(const FileDialogOptions& options) {
  QFileDialog dialog(owner_);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(options.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setNameFilter(QtFileFilter(options.filter));
  dialog.setDefaultSuffix(Q(options.defaultExt));
  if (options.hideReadOnly) dialog.setOption(QFileDialog::ReadOnly, false);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

std::optional<std::string> QtQuestions::SaveFileName(const FileDialogOptions& options) {
  QFileDialog dialog(owner_);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter(QtFileFilter(options.filter));
  dialog.setDefaultSuffix(Q(options.defaultExt));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.overwritePrompt);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

std::unique_ptr<MsgDlgBox> QtQuestions::CreateBox(const MsgDlgBoxSpec& plan) {
  return std::make_unique<QtMsgDlgBox>(plan, owner_);
}

}  // namespace lanvoy
