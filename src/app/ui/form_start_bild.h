// TFormStartBild: the splash window, shown while the main window is created.
#pragma once

#include <QLabel>
#include <QWidget>

namespace lanvoy {

class TFormStartBild : public QWidget {
  Q_OBJECT
 public:
  TFormStartBild();
  // Shown centred on the screen and painted at once.
  void ShowNow();

  QLabel* Image1 = nullptr;
};

}  // namespace lanvoy
