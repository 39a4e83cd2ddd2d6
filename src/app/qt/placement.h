// The placement rule for Qt windows.
#pragma once

#include <QPoint>
#include <QScreen>
#include <QWidget>

#include "base/placement.h"

namespace lanvoy {

// Where window goes when centred over `over`, kept on the screen `over` is on.
inline QPoint CentredOnItsScreen(const QWidget* window, const QWidget* over) {
  auto rect = [](const QRect& r) { return ScreenRect{r.x(), r.y(), r.width(), r.height()}; };
  const QRect frame = over->frameGeometry();
  const QScreen* screen = over->screen();
  const ScreenRect work = screen ? rect(screen->availableGeometry()) : ScreenRect{};
  // Before it is first shown a window knows no frame: it gets the frame of the window it goes
  // over.
  QSize size = window->frameGeometry().size();
  if (!window->isVisible()) size = window->size() + (frame.size() - over->size());
  const ScreenRect at = CentredOver(size.width(), size.height(), rect(frame), work);
  return {at.left, at.top};
}

}  // namespace lanvoy
