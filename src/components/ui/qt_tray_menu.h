// A QMenu as the tray icon's context menu. Its default item is the menu's default action;
// the automatic popup is a flag of the adapter (QMenu has none).
#pragma once

#include <QMenu>
#include <QPointer>

#include "components/cool_tray_icon.h"

namespace lanvoy {

class QtTrayMenu : public TrayPopupMenu {
 public:
  explicit QtTrayMenu(QMenu* menu) : menu_(menu) {}

  void SetAutoPopup(bool on) { autoPopup_ = on; }
  QMenu* Menu() const { return menu_; }

  bool AutoPopup() const override { return autoPopup_; }
  void Popup(TrayPoint at) override;
  std::size_t ItemCount() const override;
  bool IsDefaultItem(std::size_t index) const override;
  void ClickItem(std::size_t index) override;

 private:
  QPointer<QMenu> menu_;
  bool autoPopup_ = true;
};

}  // namespace lanvoy
