// TFormProgress: the small window that shows the stage of an apply. It has no behaviour of
// its own; the apply sequence sets its range, position, label and visibility.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QProgressBar>

namespace lanvoy {

class TFormProgress : public QDialog {
  Q_OBJECT
 public:
  explicit TFormProgress(QWidget* owner);

  // Shown centred over the owner, in front, and painted at once: the apply blocks the
  // message loop between stages.
  void ShowStage(int position, const QString& label, bool visible);

  QProgressBar* ProgressBar1 = nullptr;
  QLabel* LabelProgress = nullptr;

 private:
  QWidget* owner_;
};

}  // namespace lanvoy
