#include "mainwindow/qt/widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStandardItemModel>
#include <QVBoxLayout>

namespace lanvoy {

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 2, 6, 2);
  layout->setSpacing(0);
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    button->setAutoExclusive(false);  // the group decides; -1 must be possible
    layout->addWidget(button);
    buttons_.push_back(button);
    connect(button, &QRadioButton::clicked, this, [this, i] {
      // A click on the selected item keeps it selected and changes nothing.
      if (index_ == i) {
        buttons_[static_cast<size_t>(i)]->setChecked(true);
        return;
      }
      SetItemIndex(i);
    });
  }
}

void TRadioGroup::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(buttons_.size())) index = -1;
  if (index == index_) return;
  index_ = index;
  for (size_t i = 0; i < buttons_.size(); ++i)
    buttons_[i]->setChecked(static_cast<int>(i) == index);
  emit Click();
}

namespace {

// Items that typed text never matches: the combo box finds its items through match().
class UnmatchedItems : public QStandardItemModel {
 public:
  using QStandardItemModel::QStandardItemModel;
  QModelIndexList match(const QModelIndex&, int, const QVariant&, int,
                        Qt::MatchFlags) const override {
    return {};
  }
};

}  // namespace

void TListBox::mousePressEvent(QMouseEvent* event) {
  if (!indexAt(event->position().toPoint()).isValid()) return;
  QListWidget::mousePressEvent(event);
}

void TListBox::mouseDoubleClickEvent(QMouseEvent* event) {
  if (indexAt(event->position().toPoint()).isValid()) QListWidget::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) emit DblClick();
}

TEditCombo::TEditCombo(QWidget* parent) : QComboBox(parent) {
  setModel(new UnmatchedItems(this));
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  setCompleter(nullptr);
}

TmyLabel3d::TmyLabel3d(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void TmyLabel3d::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setFont(font());
  QRect area = contentsRect().adjusted(0, 0, -ShadowOffsetX, -ShadowOffsetY);
  painter.setPen(ShadowColor);
  painter.drawText(area.translated(ShadowOffsetX, ShadowOffsetY), alignment(), text());
  painter.setPen(TextColor);
  painter.drawText(area, alignment(), text());
}

TLinkLabel::TLinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  QFont f = font();
  f.setUnderline(true);
  setFont(f);
  QPalette p = palette();
  p.setColor(QPalette::WindowText, Qt::blue);
  setPalette(p);
  setCursor(Qt::PointingHandCursor);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    emit Clicked();
  QLabel::mouseReleaseEvent(event);
}

}  // namespace lanvoy
