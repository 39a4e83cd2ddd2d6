// Small controls of the main window: the mode radio group with an item index, the raised
// three-dimensional label, and the hyperlink label.
#pragma once

#include <QGroupBox>
#include <QLabel>
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
