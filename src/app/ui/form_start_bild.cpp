#include "app/ui/form_start_bild.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace lanvoy {

TFormStartBild::TFormStartBild()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName("FormStartBild");
  setFixedSize(400, 300);
  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setGeometry(0, 0, 400, 300);
  Image1->setPixmap(QPixmap(":/lanvoy/splash.png"));
  // FormCreate: no mouse pointer over the picture.
  Image1->setCursor(Qt::BlankCursor);
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
