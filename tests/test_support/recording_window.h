// A toolkit without a display for the window's logic: every control of a layout as a small
// object with its state, and the user's actions (Click, Type, Choose, Key) raising events
// as a real toolkit raises them. A user reaches only a control that is enabled, with every
// control it sits in.
#pragma once

#include <array>
#include <deque>
#include <string>
#include <vector>

#include "base/strings.h"
#include "mainwindow/layout.h"
#include "mainwindow/main_window_view.h"
#include "test_support/queue_dispatcher.h"
#include "test_support/recording_notification_area.h"

namespace lanvoy::test {

template <class Base>
class RecControl : public Base {
 public:
  bool Enabled() const override { return enabled; }
  void SetEnabled(bool on) override { enabled = on; }
  bool SetFocus() override { return focused = enabled; }
  bool Reachable() const {
    for (const Control* a : ancestors)
      if (!a->Enabled()) return false;
    return enabled;
  }
  bool enabled = true;
  bool focused = false;
  std::vector<const Control*> ancestors;  // the tab pages and groups it sits in
};

class RecButton : public RecControl<Button> {
 public:
  void Click() {
    if (Reachable() && OnClick) OnClick();
  }
};

class RecCheckBox : public RecControl<CheckBox> {
 public:
  bool Checked() const override { return checked; }
  void SetChecked(bool on) override {
    if (on == checked) return;
    checked = on;
    if (OnClick) OnClick();
  }
  void Click() {
    if (Reachable()) SetChecked(!checked);
  }
  bool checked = false;
};

class RecRadioGroup : public RecControl<RadioGroup> {
 public:
  int ItemIndex() const override { return index; }
  void SetItemIndex(int i) override {
    if (i < -1 || i >= count) i = -1;
    if (i == index) return;
    index = i;
    if (OnClick) OnClick();
  }
  void Click(int item) {
    if (Reachable()) SetItemIndex(item);
  }
  int index = 0, count = 2;
};

class RecTextField : public RecControl<TextField> {
 public:
  std::string Text() const override { return text; }
  void SetText(const std::string& t) override { text = t; }
  // The user moves into the field and types; Enter is a key of its own.
  void Type(const std::string& t) {
    if (!Reachable()) return;
    Focus();
    text = t;
  }
  void Focus() {
    if (!Reachable()) return;
    focused = true;
    if (OnEnter) OnEnter();
  }
  bool Key(char c) { return OnKeyPress && OnKeyPress(c); }
  std::string text;
};

class RecMemo : public RecControl<Memo> {
 public:
  std::string Text() const override { return text; }
  void SetText(const std::string& t) override { text = t; }
  bool ReadOnly() const override { return readOnly; }
  void SetReadOnly(bool on) override { readOnly = on; }
  void Type(const std::string& t) {
    if (Reachable() && !readOnly) text = t;
  }
  std::string text;
  bool readOnly = false;
};

class RecComboBox : public RecControl<ComboBox> {
 public:
  std::string Text() const override { return text; }
  void SetText(const std::string& t) override {
    index = -1;
    text = t;
  }
  int Count() const override { return static_cast<int>(items.size()); }
  void Clear() override {
    items.clear();
    index = -1;
    text.clear();
  }
  void AddItem(const std::string& item) override { items.push_back(item); }
  int ItemIndex() const override { return index; }
  void SetItemIndex(int i) override {
    if (i < 0 || i >= Count()) {
      index = -1;
      return;
    }
    index = i;
    text = items[static_cast<size_t>(i)];
  }
  // Typed text selects no item; a choice from the list does, and says so.
  void Type(const std::string& t) {
    if (Reachable()) text = t;
  }
  void Choose(int i) {
    if (!Reachable()) return;
    SetItemIndex(i);
    if (OnSelect) OnSelect(i);
  }
  std::vector<std::string> items;
  std::string text;
  int index = -1;
};

class RecListBox : public RecControl<ListBox> {
 public:
  int Count() const override { return static_cast<int>(items.size()); }
  std::string Item(int i) const override { return items.at(static_cast<size_t>(i)); }
  void SetItems(const std::vector<std::string>& list) override {
    items = list;
    index = -1;
  }
  int ItemIndex() const override { return index; }
  void SetItemIndex(int i) override { index = i; }
  void Click(int row) {
    if (!Reachable() || row < 0 || row >= Count()) return;
    const bool changed = row != index;
    index = row;
    if (changed && OnClick) OnClick();
  }
  void DblClick() {
    if (Reachable() && OnDblClick) OnDblClick();
  }
  bool Key(char c) { return Reachable() && OnKeyPress && OnKeyPress(c); }
  // The entry of that text, clicked.
  void Click(const std::string& name) {
    for (int row = 0; row < Count(); ++row)
      if (items[static_cast<size_t>(row)] == name) Click(row);
  }
  std::vector<std::string> items;
  int index = -1;
};

class RecGrid : public RecControl<Grid> {
 public:
  int RowCount() const override { return static_cast<int>(rows.size()); }
  void SetRowCount(int n) override {
    rows.resize(static_cast<size_t>(n));
    if (current >= n) current = n - 1;
  }
  std::string Cell(int row, int column) const override {
    return rows.at(static_cast<size_t>(row)).at(static_cast<size_t>(column));
  }
  void SetCell(int row, int column, const std::string& text) override {
    rows.at(static_cast<size_t>(row)).at(static_cast<size_t>(column)) = text;
  }
  void InsertRow(int at) override { rows.insert(rows.begin() + at, Row{}); }
  void DeleteRow(int row) override {
    rows.erase(rows.begin() + row);
    if (current >= RowCount()) current = RowCount() - 1;
  }
  int CurrentRow() const override { return current; }
  void SetCurrentCell(int row, int) override { current = row; }
  using Row = std::array<std::string, 3>;
  std::vector<Row> rows{Row{}};
  int current = -1;
};

class RecTabPage : public RecControl<TabPage> {
 public:
  void Activate() override { ++activated; }
  int activated = 0;
};

class RecLabel : public Label {
 public:
  void SetCaption(const std::string& text) override { caption = text; }
  void Click() {
    if (OnClick) OnClick();
  }
  std::string caption;
};

class RecMenuItem : public MenuItem {
 public:
  bool Enabled() const override { return enabled; }
  void SetEnabled(bool on) override { enabled = on; }
  void Click() {
    if (enabled && OnClick) OnClick();
  }
  bool enabled = true;
};

class RecSubMenu : public SubMenu {
 public:
  void Clear() override { items.clear(); }
  void Add(const std::string& caption, std::function<void()> onClick) override {
    items.push_back({caption, std::move(onClick)});
  }
  std::vector<std::string> Captions() const override {
    std::vector<std::string> captions;
    for (const auto& item : items) captions.push_back(item.first);
    return captions;
  }
  void Click(const std::string& caption) {
    for (const auto& item : items)
      if (item.first == caption) return item.second();
  }
  std::vector<std::pair<std::string, std::function<void()>>> items;
};

class RecPopupMenu : public PopupMenu {
 public:
  void Popup(int x, int y) override { popups.push_back({x, y}); }
  std::vector<std::pair<int, int>> popups;
};

class RecTimer : public Timer {
 public:
  bool Enabled() const override { return enabled; }
  void SetEnabled(bool on) override { enabled = on; }
  void Fire() {
    if (enabled && OnTimer) OnTimer();
  }
  bool enabled = false;
};

class RecContainer : public Container {};

class RecProgress : public ProgressView {
 public:
  void SetRange(int minimum, int maximum) override { range = {minimum, maximum}; }
  void ShowStage(int position, const std::string& label, bool show) override {
    if (show && !visible) shown.push_back(label);
    visible = show;
    positions.push_back(position);
  }
  void Close() override {
    visible = false;
    ++closed;
  }
  std::pair<int, int> range;
  std::vector<std::string> shown;  // the label each time it became visible
  std::vector<int> positions;
  bool visible = false;
  int closed = 0;
};

class RecHelp : public HelpView {
 public:
  void ShowModal() override { ++shown; }
  int shown = 0;
};

class RecLanState : public LanStateView {
 public:
  void SetText(const std::string& t) override { lines = SplitLines(t); }
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  void ReplaceLastLine(const std::string& line) override { lines.back() = line; }
  void SetHistory(const std::string& text) override { history = SplitLines(text); }
  // Runs while shown, as a modal window's loop runs; then closes.
  void ShowModal() override {
    ++shown;
    if (whileShown) whileShown();
  }
  std::vector<std::string> lines, history;
  std::function<void()> whileShown;
  int shown = 0;
};

class RecordingWindow : public MainWindowView {
 public:
  RecordingWindow() {
    const WindowSpec& layout = MainFormLayout();
    for (const ControlSpec& c : layout.controls) Build(c);
  }

  template <class T>
  T& Get(const std::string& name) {
    return controls.Get<T>(name);
  }
  RecButton& Button(const std::string& name) { return Get<RecButton>(name); }
  RecCheckBox& Check(const std::string& name) { return Get<RecCheckBox>(name); }
  RecTextField& Edit(const std::string& name) { return Get<RecTextField>(name); }
  RecComboBox& Combo(const std::string& name) { return Get<RecComboBox>(name); }
  RecListBox& List() { return Get<RecListBox>("ProfileList"); }
  RecGrid& Hosts() { return Get<RecGrid>("GridHosts"); }
  RecMemo& MemoOf(const std::string& name) { return Get<RecMemo>(name); }

  ControlSet& Controls() override { return controls; }
  void SetApplicationHints(int showMs, int hideMs, uint32_t background) override {
    hints = {showMs, hideMs, background};
  }
  void SetCaption(const std::string& c) override { caption = c; }
  void MoveTo(int left, int top) override { position = {left, top}; }
  void SetClientSize(int width, int height) override { size = {width, height}; }
  void Show() override {
    visible = true;
    ++shows;
  }
  void ShowNormal() override {
    visible = true;
    minimized = false;
    ++shows;
  }
  void Hide() override { visible = false; }
  void Minimize() override { minimized = true; }
  bool Visible() const override { return visible; }
  void Repaint() override { ++repaints; }
  void SetBusyCursor(bool on) override {
    busy = on;
    if (on) ++busyTimes;
  }
  void FocusNext(Control& from) override {
    const WindowSpec& layout = MainFormLayout();
    bool past = false;
    for (const ControlSpec& c : layout.controls) {
      auto* control = dynamic_cast<Control*>(controls.Find(c.name));
      if (!control) continue;
      if (past && control->Enabled() && !dynamic_cast<TabPage*>(control)) {
        focusedAfterEnter = c.name;
        return;
      }
      past = past || control == &from;
    }
  }
  void Closed() override {
    visible = false;
    closed = true;
  }
  // The user closes the window with its close box.
  bool CloseBox() {
    if (OnCloseQuery && !OnCloseQuery()) return false;
    Closed();
    return true;
  }
  TIcon ProgramIcon() override { return TIcon{"lanvoy.ico"}; }
  NotificationArea& TrayArea() override { return area; }
  MainThreadDispatcher& Dispatcher() override { return dispatcher; }
  ProgressView& Progress() override { return progress; }
  HelpView& Help() override { return help; }
  LanStateView& LanState() override {
    ++lanStateMade;
    return lanState;
  }

  ControlSet controls;
  struct Hints {
    int showMs = 0, hideMs = 0;
    uint32_t background = 0;
  } hints;
  std::string caption = "Lanvoy";
  std::pair<int, int> position{-1, -1}, size{0, 0};
  bool visible = false, minimized = false, busy = false, closed = false;
  int shows = 0, repaints = 0, busyTimes = 0, lanStateMade = 0;
  std::string focusedAfterEnter;
  RecordingNotificationArea area;
  QueueDispatcher dispatcher;
  RecProgress progress;
  RecHelp help;
  RecLanState lanState;

 private:
  void Build(const ControlSpec& c) {
    using K = ControlKind;
    std::unique_ptr<Widget> w;
    auto placed = [&](auto control) {
      for (const ControlSpec* up = MainFormLayout().Find(c.parent); up;
           up = MainFormLayout().Find(up->parent))
        if (auto* a = dynamic_cast<Control*>(controls.Find(up->name)))
          control->ancestors.push_back(a);
      control->enabled = !(c.style & kDisabled);
      return control;
    };
    switch (c.kind) {
      case K::Button:
      case K::GlyphButton:
        w.reset(placed(new RecButton));
        break;
      case K::CheckBox: {
        auto* box = placed(new RecCheckBox);
        box->checked = c.style & kChecked;
        w.reset(box);
        break;
      }
      case K::RadioGroup:
        w.reset(placed(new RecRadioGroup));
        break;
      case K::Edit: {
        auto* edit = placed(new RecTextField);
        edit->text = c.text;
        w.reset(edit);
        break;
      }
      case K::Memo:
        w.reset(placed(new RecMemo));
        break;
      case K::ComboBox: {
        auto* combo = placed(new RecComboBox);
        combo->items = SplitItems(c.text);
        if (!combo->items.empty()) combo->SetItemIndex(0);
        w.reset(combo);
        break;
      }
      case K::ListBox:
        w.reset(placed(new RecListBox));
        break;
      case K::Grid:
        w.reset(placed(new RecGrid));
        break;
      case K::TabPage:
        w.reset(placed(new RecTabPage));
        break;
      case K::Label:
      case K::LinkLabel:
      case K::Label3d: {
        auto* label = new RecLabel;
        label->caption = c.caption;
        w.reset(label);
        break;
      }
      case K::MenuItem:
        w.reset(new RecMenuItem);
        break;
      case K::SubMenu:
        w.reset(new RecSubMenu);
        break;
      case K::PopupMenu:
        w.reset(new RecPopupMenu);
        break;
      case K::Timer: {
        auto* timer = new RecTimer;
        timer->enabled = c.style & kEnabledAtStart;
        w.reset(timer);
        break;
      }
      default:
        w.reset(new RecContainer);
    }
    controls.Add(c.name, std::move(w));
  }
};

// Makes RecordingWindows for the program's start-up; the splash is only recorded.
class RecordingWindows : public WindowFactory {
 public:
  class Splash : public SplashView {
   public:
    explicit Splash(RecordingWindows& owner) : owner_(owner) { ++owner_.splashes; }
    ~Splash() override { owner_.splashVisible = false; }
    void ShowNow() override { owner_.splashVisible = true; }

   private:
    RecordingWindows& owner_;
  };
  std::unique_ptr<SplashView> CreateSplash() override { return std::make_unique<Splash>(*this); }
  std::unique_ptr<MainWindowView> CreateMainWindow() override {
    auto window = std::make_unique<RecordingWindow>();
    last = window.get();
    return window;
  }
  RecordingWindow* last = nullptr;
  int splashes = 0;
  bool splashVisible = false;
};

}  // namespace lanvoy::test
