#include "mainwindow/memory_window.h"

namespace lanvoy {

void InlineDispatcher::InvokeSync(const std::function<void()>& fn) {
  std::lock_guard<std::mutex> lock(mutex_);
  fn();
}

void MemCheckBox::SetChecked(bool on) {
  if (on == checked) return;
  checked = on;
  if (OnClick) OnClick();
}

void MemRadioGroup::SetItemIndex(int i) {
  if (i < -1 || i >= count) i = -1;
  if (i == index) return;
  index = i;
  if (OnClick) OnClick();
}

void MemTextField::SetText(const std::string& t) {
  if (t == text) return;  // no change, no event, as in Qt
  text = t;
  if (OnChange) OnChange();
}

void MemTextField::Type(const std::string& t) {
  if (!Reachable()) return;
  Focus();
  SetText(t);
}

void MemTextField::Focus() {
  if (!Reachable()) return;
  focused = true;
  if (OnEnter) OnEnter();
}

void MemComboBox::SetItemIndex(int i) {
  if (i < 0 || i >= Count()) {
    index = -1;
    return;
  }
  index = i;
  text = items[static_cast<size_t>(i)];
}

void MemComboBox::Choose(int i) {
  if (!Reachable()) return;
  SetItemIndex(i);
  if (OnSelect) OnSelect(i);
}

void MemListBox::Click(int row) {
  if (!Reachable() || row < 0 || row >= Count()) return;
  const bool changed = row != index;
  index = row;
  if (changed && OnClick) OnClick();
}

void MemListBox::Click(const std::string& name) {
  for (int row = 0; row < Count(); ++row)
    if (items[static_cast<size_t>(row)] == name) Click(row);
}

void MemGrid::SetRowCount(int n) {
  rows.resize(static_cast<size_t>(n));
  if (current >= n) current = n - 1;
}

void MemGrid::DeleteRow(int row) {
  rows.erase(rows.begin() + row);
  if (current >= RowCount()) current = RowCount() - 1;
}

std::vector<std::string> MemSubMenu::Captions() const {
  std::vector<std::string> captions;
  for (const auto& item : items) captions.push_back(item.first);
  return captions;
}

void MemSubMenu::Click(const std::string& caption) {
  for (const auto& item : items)
    if (item.first == caption) return item.second();
}

void MemProgress::ShowStage(int position, const std::string& label, bool show) {
  if (show && !visible) shown.push_back(label);
  visible = show;
  positions.push_back(position);
}

void MemLanState::ShowModal() {
  ++shown;
  if (whileShown) whileShown();
}

MemoryWindow::MemoryWindow() {
  BuildMemControls(MainFormLayout(), controls);
}

void MemoryWindow::FocusNext(Control& from) {
  const WindowLayout& layout = MainFormLayout();
  bool past = false;
  for (const ControlEntry& c : layout.controls) {
    auto* control = dynamic_cast<Control*>(controls.Find(c.name));
    if (!control) continue;
    if (past && control->Enabled() && !dynamic_cast<TabPage*>(control)) {
      focusedAfterEnter = c.name;
      return;
    }
    past = past || control == &from;
  }
}

bool MemoryWindow::CloseBox() {
  if (OnCloseQuery && !OnCloseQuery()) return false;
  Closed();
  return true;
}

namespace {

void Build(const WindowLayout& layout, const ControlEntry& c, ControlSet& controls) {
  using K = ControlKind;
  std::unique_ptr<Widget> w;
  auto placed = [&](auto control) {
    for (const ControlEntry* up = layout.Find(c.parent); up; up = layout.Find(up->parent))
      if (auto* a = dynamic_cast<Control*>(controls.Find(up->name)))
        control->ancestors.push_back(a);
    control->enabled = !(c.style & kDisabled);
    return control;
  };
  switch (c.kind) {
    case K::Button:
    case K::GlyphButton:
      w.reset(placed(new MemButton));
      break;
    case K::CheckBox: {
      auto* box = placed(new MemCheckBox);
      box->checked = c.style & kChecked;
      w.reset(box);
      break;
    }
    case K::RadioGroup: {
      auto* group = placed(new MemRadioGroup);
      group->count = static_cast<int>(SplitItems(c.text).size());
      w.reset(group);
      break;
    }
    case K::Edit: {
      auto* edit = placed(new MemTextField);
      edit->text = c.text;
      w.reset(edit);
      break;
    }
    case K::Memo: {
      auto* memo = placed(new MemMemo);
      memo->readOnly = c.style & kReadOnly;
      w.reset(memo);
      break;
    }
    case K::ComboBox: {
      auto* combo = placed(new MemComboBox);
      combo->items = SplitItems(c.text);
      if (!combo->items.empty()) combo->SetItemIndex(0);
      w.reset(combo);
      break;
    }
    case K::ListBox:
      w.reset(placed(new MemListBox));
      break;
    case K::Grid:
      w.reset(placed(new MemGrid));
      break;
    case K::TabPage:
      w.reset(placed(new MemTabPage));
      break;
    case K::Label:
    case K::LinkLabel:
    case K::Label3d: {
      auto* label = new MemLabel;
      label->caption = c.caption;
      w.reset(label);
      break;
    }
    case K::MenuItem:
      w.reset(new MemMenuItem);
      break;
    case K::SubMenu:
      w.reset(new MemSubMenu);
      break;
    case K::PopupMenu:
      w.reset(new MemPopupMenu);
      break;
    case K::Timer: {
      auto* timer = new MemTimer;
      timer->enabled = c.style & kEnabledAtStart;
      w.reset(timer);
      break;
    }
    default:
      w.reset(new MemContainer);
  }
  controls.Add(c.name, std::move(w));
}

}  // namespace

void BuildMemControls(const WindowLayout& layout, ControlSet& controls) {
  for (const ControlEntry& c : layout.controls) Build(layout, c, controls);
}

}  // namespace lanvoy
