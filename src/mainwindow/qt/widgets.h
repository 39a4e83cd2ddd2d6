// Small controls of the main window: the mode radio group with an item index, the raised
// three-dimensional label, and the hyperlink label.
#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QStringList>
#include <vector>

namespace lanvoy {

// A radio group whose selection is an item index (-1: none). Click runs on every change of
// the selection, by the user or by SetItemIndex.
class TRadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent);
  int ItemIndex() const { return index_; }
  void SetItemIndex(int index);
  QRadioButton* Item(int index) const { return buttons_.at(static_cast<size_t>(index)); }

 signals:
  void Click();

 private:
  std::vector<QRadioButton*> buttons_;
  int index_ = -1;
};

// A list box as Windows has it: a click on the free area below the entries keeps the
// selection, and a double click anywhere on the list is one (DblClick).
class TListBox : public QListWidget {
  Q_OBJECT
 public:
  using QListWidget::QListWidget;

 signals:
  void DblClick();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// An editable combo box whose typed text stays as typed. Qt selects the item that typed
// text matches (ignoring case) when editing ends or Enter is pressed, and completes typed
// text in the item's case; here only a choice from the list selects an item, and only that
// choice emits activated.
class TEditCombo : public QComboBox {
  Q_OBJECT
 public:
  explicit TEditCombo(QWidget* parent);
};

// A label drawn raised: its text once in the shadow colour, offset, then in its own colour.
class TmyLabel3d : public QLabel {
  Q_OBJECT
 public:
  TmyLabel3d(const QString& text, QWidget* parent);
  int ShadowOffsetX = 2;
  int ShadowOffsetY = 2;
  QColor ShadowColor = Qt::darkGray;
  QColor TextColor = Qt::red;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// A label that looks like a link and emits Clicked.
class TLinkLabel : public QLabel {
  Q_OBJECT
 public:
  TLinkLabel(const QString& text, QWidget* parent);

 signals:
  void Clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace lanvoy
