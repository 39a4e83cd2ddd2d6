#include "apply/qt/form_progress.h"

#include <QApplication>

#include "app/qt/placement.h"

namespace lanvoy {

TFormProgress::TFormProgress(QWidget* owner) : QtLayoutWindow(ProgressFormLayout(), owner) {
  SetRange(0, 3);
}

void TFormProgress::ShowInFront() {
  if (!isVisible()) {
    if (parentWidget() && parentWidget()->isVisible())
      move(CentredOnItsScreen(this, parentWidget()));
    show();
  }
  raise();
  repaint();
  // Let the window system map and paint it; user input waits until the apply is over.
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace lanvoy
