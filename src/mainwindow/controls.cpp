#include "mainwindow/controls.h"

namespace lanvoy {

void ControlSet::Add(const std::string& name, std::unique_ptr<Widget> widget) {
  widgets_[name] = std::move(widget);
}

Widget* ControlSet::Find(std::string_view name) const {
  auto it = widgets_.find(name);
  return it == widgets_.end() ? nullptr : it->second.get();
}

}  // namespace lanvoy
