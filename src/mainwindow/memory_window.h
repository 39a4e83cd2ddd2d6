// A window without a display: every control of the main window's layout as a small object
// with its state, and the user's actions (Click, Type, Choose, Key) raising events as a
// real toolkit raises them. A user reaches only a control that is enabled, with every
// control it sits in. The unattended apply runs on it, so that it needs neither a display
// nor a toolkit; the behaviour tests drive it as a user would.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "base/strings.h"
#include "components/main_thread.h"
#include "components/notification_area.h"
#include "mainwindow/layout.h"
#include "mainwindow/main_window_view.h"

namespace lanvoy {

// No notification area: icons are taken and never shown.
class NoNotificationArea : public NotificationArea {
 public:
  bool NotifyIcon(NotifyIconMessage, const NotifyIconData&) override { return true; }
  TrayWindow CreateMessageWindow(TrayWindowProc&) override { return 1; }
  void DestroyMessageWindow(TrayWindow) override {}
  FileVersion CommonControlsVersion() override { return {6, 0}; }
  void AddTaskbarListener(TaskbarListener&) override {}
  void RemoveTaskbarListener(TaskbarListener&) override {}
  std::optional<TrayPoint> CursorPos() override { return std::nullopt; }
  TrayKeys KeyboardState() override { return {}; }
  void ForegroundApplication() override {}
};

// Without a message loop a call for the main thread runs on the calling thread, one at a
// time.
class InlineDispatcher : public MainThreadDispatcher {
 public:
  void InvokeSync(const std::function<void()>& fn) override;

 private:
  std::mutex mutex_;
};

template <class Base>
class MemControl : public Base {
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

class MemButton : public MemControl<Button> {
 public:
  void Click() {
    if (Reachable() && OnClick) OnClick();
  }
};

class MemCheckBox : public MemControl<CheckBox> {
 public:
  bool Checked() const override { return checked; }
  void SetChecked(bool on) override;
  void Click() {
    if (Reachable()) SetChecked(!checked);
  }
  bool checked = false;
};

class MemRadioGroup : public MemControl<RadioGroup> {
 public:
  int ItemIndex() const override { return index; }
  void SetItemIndex(int i) override;
  void Click(int item) {
    if (Reachable()) SetItemIndex(item);
  }
  int index = 0, count = 2;  // the layout's items
};

class MemTextField : public MemControl<TextField> {
 public:
  std::string Text() const override { return text; }
  void SetText(const std::string& t) override;
  void SetInvalid(bool on) override { invalid = on; }
  // The user moves into the field and types; Enter is a key of its own.
  void Type(const std::string& t);
  void Focus();
  bool Key(char c) { return OnKeyPress && OnKeyPress(c); }
  std::string text;
  bool invalid = false;
};

class MemMemo : public MemControl<Memo> {
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

class MemComboBox : public MemControl<ComboBox> {
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
  void SetItemIndex(int i) override;
  // Typed text selects no item; a choice from the list does, and says so.
  void Type(const std::string& t) {
    if (Reachable()) text = t;
  }
  void Choose(int i);
  std::vector<std::string> items;
  std::string text;
  int index = -1;
};

class MemListBox : public MemControl<ListBox> {
 public:
  int Count() const override { return static_cast<int>(items.size()); }
  std::string Item(int i) const override { return items.at(static_cast<size_t>(i)); }
  void SetItems(const std::vector<std::string>& list) override {
    items = list;
    index = -1;
  }
  int ItemIndex() const override { return index; }
  void SetItemIndex(int i) override { index = i; }
  void Click(int row);
  void DblClick() {
    if (Reachable() && OnDblClick) OnDblClick();
  }
  bool Key(char c) { return Reachable() && OnKeyPress && OnKeyPress(c); }
  // The entry of that text, clicked.
  void Click(const std::string& name);
  std::vector<std::string> items;
  int index = -1;
};

class MemGrid : public MemControl<Grid> {
 public:
  int RowCount() const override { return static_cast<int>(rows.size()); }
  void SetRowCount(int n) override;
  std::string Cell(int row, int column) const override {
    return rows.at(static_cast<size_t>(row)).at(static_cast<size_t>(column));
  }
  void SetCell(int row, int column, const std::string& text) override {
    rows.at(static_cast<size_t>(row)).at(static_cast<size_t>(column)) = text;
  }
  void InsertRow(int at) override { rows.insert(rows.begin() + at, Row{}); }
  void DeleteRow(int row) override;
  int CurrentRow() const override { return current; }
  void SetCurrentCell(int row, int) override { current = row; }
  using Row = std::array<std::string, 3>;
  std::vector<Row> rows{Row{}};
  int current = -1;
};

class MemTabPage : public MemControl<TabPage> {
 public:
  void Activate() override { ++activated; }
  int activated = 0;
};

class MemLabel : public Label {
 public:
  void SetCaption(const std::string& text) override { caption = text; }
  void Click() {
    if (OnClick) OnClick();
  }
  std::string caption;
};

class MemMenuItem : public MenuItem {
 public:
  bool Enabled() const override { return enabled; }
  void SetEnabled(bool on) override { enabled = on; }
  void Click() {
    if (enabled && OnClick) OnClick();
  }
  bool enabled = true;
};

class MemSubMenu : public SubMenu {
 public:
  void Clear() override { items.clear(); }
  void Add(const std::string& caption, std::function<void()> onClick) override {
    items.push_back({caption, std::move(onClick)});
  }
  std::vector<std::string> Captions() const override;
  void Click(const std::string& caption);
  std::vector<std::pair<std::string, std::function<void()>>> items;
};

class MemPopupMenu : public PopupMenu {
 public:
  void Popup(int x, int y) override { popups.push_back({x, y}); }
  std::vector<std::pair<int, int>> popups;
};

class MemTimer : public Timer {
 public:
  bool Enabled() const override { return enabled; }
  void SetEnabled(bool on) override { enabled = on; }
  void Fire() {
    if (enabled && OnTimer) OnTimer();
  }
  bool enabled = false;
};

class MemContainer : public Container {};

class MemProgress : public ProgressView {
 public:
  void SetRange(int minimum, int maximum) override { range = {minimum, maximum}; }
  void ShowStage(int position, const std::string& label, bool show) override;
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

class MemHelp : public HelpView {
 public:
  void ShowModal() override { ++shown; }
  int shown = 0;
};

// The controls of a layout as objects with their state, by name.
void BuildMemControls(const WindowLayout& layout, ControlSet& controls);

class MemLanState : public LanStateView {
 public:
  MemLanState() { BuildMemControls(NetDetailsFormLayout(), controls); }
  ControlSet& Controls() override { return controls; }
  template <class T>
  T& Get(const std::string& name) {
    return controls.Get<T>(name);
  }
  void SetText(const std::string& t) override { lines = SplitLines(t); }
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  void ReplaceLastLine(const std::string& line) override { lines.back() = line; }
  // Runs while shown, as a modal window's loop runs; then closes.
  void ShowModal() override;
  ControlSet controls;
  std::vector<std::string> lines;
  std::function<void()> whileShown;
  int shown = 0;
};

class MemoryWindow : public MainWindowView {
 public:
  MemoryWindow();

  template <class T>
  T& Get(const std::string& name) {
    return controls.Get<T>(name);
  }
  MemButton& Button(const std::string& name) { return Get<MemButton>(name); }
  MemCheckBox& Check(const std::string& name) { return Get<MemCheckBox>(name); }
  MemTextField& Edit(const std::string& name) { return Get<MemTextField>(name); }
  MemComboBox& Combo(const std::string& name) { return Get<MemComboBox>(name); }
  MemListBox& List() { return Get<MemListBox>("ProfileList"); }
  MemGrid& Hosts() { return Get<MemGrid>("GridHosts"); }
  MemMemo& MemoOf(const std::string& name) { return Get<MemMemo>(name); }

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
  // Without a window to keep answering, the work runs on the caller's thread.
  void RunAnswering(const std::function<void()>& work) override { work(); }
  void FocusNext(Control& from) override;
  void Closed() override {
    visible = false;
    closed = true;
  }
  // The user closes the window with its close box.
  bool CloseBox();
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
  NoNotificationArea area;
  InlineDispatcher dispatcher;
  MemProgress progress;
  MemHelp help;
  MemLanState lanState;
};

// Makes MemoryWindows for the program's start-up; the splash is only noted.
class MemoryWindows : public WindowFactory {
 public:
  class Splash : public SplashView {
   public:
    explicit Splash(MemoryWindows& owner) : owner_(owner) { ++owner_.splashes; }
    ~Splash() override { owner_.splashVisible = false; }
    void ShowNow() override { owner_.splashVisible = true; }

   private:
    MemoryWindows& owner_;
  };
  std::unique_ptr<SplashView> CreateSplash() override { return std::make_unique<Splash>(*this); }
  std::unique_ptr<MainWindowView> CreateMainWindow() override { return MakeWindow(); }
  int splashes = 0;
  bool splashVisible = false;

 protected:
  virtual std::unique_ptr<MemoryWindow> MakeWindow() { return std::make_unique<MemoryWindow>(); }
};

}  // namespace lanvoy
