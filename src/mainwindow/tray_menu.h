// A popup menu of a window's layout as the tray icon uses it: its items in the layout's
// order, the default one marked there, a click running the item's handler. The same menu is
// the main window's own context menu; while its automatic popup is off, neither opens it.
#pragma once

#include <string>
#include <vector>

#include "components/cool_tray_icon.h"
#include "mainwindow/controls.h"
#include "mainwindow/layout.h"

namespace lanvoy {

class LayoutPopupMenu : public TrayPopupMenu {
 public:
  LayoutPopupMenu(const WindowLayout& layout, const ControlSet& controls, const std::string& menu);

  bool AutoPopup() const override { return autoPopup_; }
  void SetAutoPopup(bool on) override { autoPopup_ = on; }
  void Popup(TrayPoint at) override { menu_.Popup(at.x, at.y); }
  std::size_t ItemCount() const override { return items_.size(); }
  bool IsDefaultItem(std::size_t index) const override;
  void ClickItem(std::size_t index) override;

 private:
  PopupMenu& menu_;
  const ControlSet& controls_;
  std::vector<const ControlEntry*> items_;
  bool autoPopup_ = true;
};

}  // namespace lanvoy
