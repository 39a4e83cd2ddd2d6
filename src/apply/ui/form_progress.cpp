#include "apply/ui/form_progress.h"

#include <QApplication>
#include <QFont>

#include "app/ui/placement_qt.h"

namespace lanvoy {

TFormProgress::TFormProgress(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowStaysOnTopHint),
      owner_(owner) {
  setObjectName("FormProgress");
  setWindowTitle("Lanvoy in progress");
  QFont font("MS Sans Serif");
  font.setPixelSize(11);
  setFont(font);
  setFixedSize(379, 78);
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setGeometry(32, 28, 245, 16);
  ProgressBar1->setRange(0, 3);
  ProgressBar1->setTextVisible(false);
  LabelProgress = new QLabel(this);
  LabelProgress->setObjectName("LabelProgress");
  LabelProgress->move(32, 48);
  LabelProgress->resize(330, 16);
}

void TFormProgress::ShowStage(int position, const QString& label, bool visible) {
  ProgressBar1->setValue(position);
  LabelProgress->setText(label);
  if (!visible) {
    hide();
    return;
  }
  if (!isVisible()) {
    if (owner_ && owner_->isVisible()) move(CentredOnItsScreen(this, owner_));
    show();
  }
  raise();
  repaint();
  // Let the window system map and paint it; user input waits until the apply is over.
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace lanvoy
