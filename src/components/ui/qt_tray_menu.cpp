#include "components/ui/qt_tray_menu.h"

#include <QAction>

namespace lanvoy {

void QtTrayMenu::Popup(TrayPoint at) {
  if (menu_) menu_->popup(QPoint(at.x, at.y));
}

std::size_t QtTrayMenu::ItemCount() const {
  return menu_ ? static_cast<std::size_t>(menu_->actions().size()) : 0;
}

bool QtTrayMenu::IsDefaultItem(std::size_t index) const {
  if (!menu_ || index >= ItemCount()) return false;
  QAction* action = menu_->actions().at(static_cast<qsizetype>(index));
  return action != nullptr && action == menu_->defaultAction();
}

void QtTrayMenu::ClickItem(std::size_t index) {
  if (!menu_ || index >= ItemCount()) return;
  menu_->actions().at(static_cast<qsizetype>(index))->trigger();
}

}  // namespace lanvoy
