#include "app/qt/form_start_bild.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

namespace lanvoy {

TFormStartBild::TFormStartBild() : QtLayoutWindow(SplashFormLayout(), nullptr) {
  // FormCreate: no mouse pointer over the picture.
  WidgetNamed<QWidget>("Image1")->setCursor(Qt::BlankCursor);
}

void TFormStartBild::ShowNow() {
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->geometry().center() - rect().center());
  show();
  raise();
  repaint();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace lanvoy
