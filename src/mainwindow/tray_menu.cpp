#include "mainwindow/tray_menu.h"

namespace lanvoy {

LayoutPopupMenu::LayoutPopupMenu(const WindowLayout& layout, const ControlSet& controls,
                                 const std::string& menu)
    : menu_(controls.Get<PopupMenu>(menu)), controls_(controls) {
  for (const ControlEntry& c : layout.controls)
    if (c.parent == menu) items_.push_back(&c);
}

bool LayoutPopupMenu::IsDefaultItem(std::size_t index) const {
  return index < items_.size() && (items_[index]->style & kDefaultItem);
}

void LayoutPopupMenu::ClickItem(std::size_t index) {
  if (index >= items_.size()) return;
  auto* item = dynamic_cast<MenuItem*>(controls_.Find(items_[index]->name));
  if (item && item->Enabled() && item->OnClick) item->OnClick();
}

}  // namespace lanvoy
