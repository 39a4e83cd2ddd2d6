#include "mainwindow/qt/qt_controls.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QResizeEvent>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include "mainwindow/qt/qt_text.h"
#include "mainwindow/qt/widgets.h"

namespace lanvoy {

namespace {

// The control's own Enabled, whatever its parents say.
bool OwnEnabled(const QWidget* w) {
  return !w->testAttribute(Qt::WA_ForceDisabled);
}

// A character of a key event as the logic sees it: Enter is CR.
char KeyChar(const QKeyEvent* key) {
  if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) return '\r';
  const QString text = key->text();
  return text.isEmpty() ? '\0' : static_cast<char>(text.at(0).toLatin1());
}

// The tint of a field whose text is no valid value: light enough to read on.
const QColor kInvalidBase(255, 200, 200);

// What every adapter connects its widget's signals with: it goes before the widget does.
class Connections {
 protected:
  QObject ctx_;
  template <class Event, class... Args>
  static void Fire(const Event& event, Args... args) {
    if (event) event(args...);
  }
};

template <class Base, class W>
class QtControl : public Base, public QtWidgetOf, protected Connections {
 public:
  explicit QtControl(W* w) : w_(w) {}
  QWidget* widget() const override { return w_; }
  bool Enabled() const override { return OwnEnabled(w_); }
  void SetEnabled(bool on) override { w_->setEnabled(on); }
  bool SetFocus() override {
    if (!w_->isEnabled() || w_->focusPolicy() == Qt::NoFocus) return false;
    w_->setFocus();
    return true;
  }

 protected:
  W* w_;
};

class QtButton : public QtControl<Button, QAbstractButton> {
 public:
  explicit QtButton(QAbstractButton* w) : QtControl(w) {
    QObject::connect(w, &QAbstractButton::clicked, &ctx_, [this] { Fire(OnClick); });
  }
};

class QtCheckBox : public QtControl<CheckBox, QCheckBox> {
 public:
  explicit QtCheckBox(QCheckBox* w) : QtControl(w) {
    QObject::connect(w, &QCheckBox::toggled, &ctx_, [this] { Fire(OnClick); });
  }
  bool Checked() const override { return w_->isChecked(); }
  void SetChecked(bool on) override { w_->setChecked(on); }
};

class QtRadioGroup : public QtControl<RadioGroup, TRadioGroup> {
 public:
  explicit QtRadioGroup(TRadioGroup* w) : QtControl(w) {
    QObject::connect(w, &TRadioGroup::Click, &ctx_, [this] { Fire(OnClick); });
  }
  int ItemIndex() const override { return w_->ItemIndex(); }
  void SetItemIndex(int index) override { w_->SetItemIndex(index); }
};

// Key presses and the focus of a widget, to the logic's events.
class KeyAndFocus : public QObject {
 public:
  std::function<bool(char)>* onKey = nullptr;
  std::function<void()>* onEnter = nullptr;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::KeyPress && onKey && *onKey)
      return (*onKey)(KeyChar(static_cast<QKeyEvent*>(event)));
    if (event->type() == QEvent::FocusIn && onEnter && *onEnter) (*onEnter)();
    return false;
  }
};

class QtTextField : public QtControl<TextField, QLineEdit> {
 public:
  explicit QtTextField(QLineEdit* w) : QtControl(w) {
    filter_.onKey = &OnKeyPress;
    filter_.onEnter = &OnEnter;
    w->installEventFilter(&filter_);
    QObject::connect(w, &QLineEdit::textChanged, &ctx_, [this] { Fire(OnChange); });
  }
  std::string Text() const override { return S(w_->text()); }
  void SetText(const std::string& text) override { w_->setText(Q(text)); }
  void SetInvalid(bool on) override {
    if (on == invalid_) return;
    invalid_ = on;
    if (!on) return w_->setPalette(normal_);
    normal_ = w_->palette();
    QPalette tinted = normal_;
    tinted.setColor(QPalette::Base, kInvalidBase);
    w_->setPalette(tinted);
  }

 private:
  KeyAndFocus filter_;
  bool invalid_ = false;
  QPalette normal_;
};

class QtMemo : public QtControl<Memo, QPlainTextEdit> {
 public:
  using QtControl::QtControl;
  std::string Text() const override { return S(w_->toPlainText()); }
  void SetText(const std::string& text) override { w_->setPlainText(Q(text)); }
  bool ReadOnly() const override { return w_->isReadOnly(); }
  void SetReadOnly(bool on) override { w_->setReadOnly(on); }
};

class QtComboBox : public QtControl<ComboBox, TEditCombo> {
 public:
  explicit QtComboBox(TEditCombo* w) : QtControl(w) {
    QObject::connect(w, &QComboBox::activated, &ctx_, [this](int index) { Fire(OnSelect, index); });
  }
  std::string Text() const override { return S(w_->currentText()); }
  void SetText(const std::string& text) override {
    w_->setCurrentIndex(-1);
    w_->setEditText(Q(text));
  }
  int Count() const override { return w_->count(); }
  void Clear() override {
    w_->clear();
    w_->setEditText(QString());
  }
  void AddItem(const std::string& item) override {
    const QString text = w_->currentText();
    const int index = w_->currentIndex();
    w_->addItem(Q(item));
    // Qt selects the first item added to an empty box; the text stays as it was.
    if (index < 0) {
      w_->setCurrentIndex(-1);
      w_->setEditText(text);
    }
  }
  int ItemIndex() const override { return w_->currentIndex(); }
  void SetItemIndex(int index) override {
    if (index >= 0) {
      w_->setCurrentIndex(index);
      return;
    }
    const QString text = w_->currentText();
    w_->setCurrentIndex(-1);
    w_->setEditText(text);
  }
};

class QtListBox : public QtControl<ListBox, TListBox> {
 public:
  explicit QtListBox(TListBox* w) : QtControl(w) {
    // The selection, not the current row: a mouse press moves the current row before the
    // item is selected.
    QObject::connect(w, &QListWidget::itemSelectionChanged, &ctx_, [this] { Fire(OnClick); });
    QObject::connect(w, &TListBox::DblClick, &ctx_, [this] { Fire(OnDblClick); });
    filter_.onKey = &OnKeyPress;
    w->installEventFilter(&filter_);
  }
  int Count() const override { return w_->count(); }
  std::string Item(int index) const override { return S(w_->item(index)->text()); }
  void SetItems(const std::vector<std::string>& items) override {
    const QSignalBlocker block(w_);
    w_->clear();
    for (const std::string& item : items) w_->addItem(Q(item));
  }
  int ItemIndex() const override {
    const QListWidgetItem* item = w_->currentItem();
    return item && item->isSelected() ? w_->row(item) : -1;
  }
  void SetItemIndex(int index) override {
    const QSignalBlocker block(w_);
    w_->clearSelection();
    w_->setCurrentRow(index);
    if (index >= 0) w_->item(index)->setSelected(true);
  }

 private:
  KeyAndFocus filter_;
};

class QtGrid : public QtControl<Grid, QTableWidget> {
 public:
  using QtControl::QtControl;
  int RowCount() const override { return w_->rowCount(); }
  void SetRowCount(int rows) override { w_->setRowCount(rows); }
  std::string Cell(int row, int column) const override {
    const QTableWidgetItem* item = w_->item(row, column);
    return item ? S(item->text()) : std::string();
  }
  void SetCell(int row, int column, const std::string& text) override {
    w_->setItem(row, column, new QTableWidgetItem(Q(text)));
  }
  void InsertRow(int at) override { w_->insertRow(at); }
  void DeleteRow(int row) override { w_->removeRow(row); }
  int CurrentRow() const override { return w_->currentRow(); }
  void SetCurrentCell(int row, int column) override { w_->setCurrentCell(row, column); }
};

class QtTabPage : public QtControl<TabPage, QWidget> {
 public:
  QtTabPage(QTabWidget* tabs, QWidget* page) : QtControl(page), tabs_(tabs) {}
  bool Enabled() const override { return tabs_->isTabEnabled(tabs_->indexOf(w_)); }
  void SetEnabled(bool on) override { tabs_->setTabEnabled(tabs_->indexOf(w_), on); }
  void Activate() override { tabs_->setCurrentWidget(w_); }

 private:
  QTabWidget* tabs_;
};

class QtLabel : public Label, public QtWidgetOf, Connections {
 public:
  explicit QtLabel(QLabel* w) : w_(w) {
    if (auto* link = qobject_cast<TLinkLabel*>(w))
      QObject::connect(link, &TLinkLabel::Clicked, &ctx_, [this] { Fire(OnClick); });
  }
  QWidget* widget() const override { return w_; }
  void SetCaption(const std::string& text) override { w_->setText(Q(text)); }

 private:
  QLabel* w_;
};

class QtContainer : public Container, public QtWidgetOf {
 public:
  explicit QtContainer(QWidget* w) : w_(w) {}
  QWidget* widget() const override { return w_; }

 private:
  QWidget* w_;
};

class QtMenuItem : public MenuItem, Connections {
 public:
  explicit QtMenuItem(QAction* a) : a_(a) {
    QObject::connect(a, &QAction::triggered, &ctx_, [this] { Fire(OnClick); });
  }
  bool Enabled() const override { return a_->isEnabled(); }
  void SetEnabled(bool on) override { a_->setEnabled(on); }

 private:
  QAction* a_;
};

// The items become actions when the menu opens: a store of thousands of profiles would
// otherwise keep thousands of actions in memory that nobody may ever look at.
class QtSubMenu : public SubMenu, Connections {
 public:
  explicit QtSubMenu(QMenu* menu) : menu_(menu) {
    QObject::connect(menu_, &QMenu::aboutToShow, &ctx_, [this] { MakeActions(); });
  }
  void Clear() override {
    items_.clear();
    Changed();
  }
  void Add(const std::string& caption, std::function<void()> onClick) override {
    items_.emplace_back(caption, std::move(onClick));
    Changed();
  }
  std::vector<std::string> Captions() const override {
    std::vector<std::string> captions;
    for (const auto& item : items_) captions.push_back(item.first);
    return captions;
  }

 private:
  void Changed() {
    // Later: the action whose click led here may still be sending its signal.
    for (QAction* item : menu_->actions()) {
      menu_->removeAction(item);
      item->deleteLater();
    }
    if (menu_->isVisible()) MakeActions();
  }
  void MakeActions() {
    if (!menu_->actions().isEmpty()) return;
    for (const auto& [caption, onClick] : items_) {
      // Qt reads "&" as a mnemonic mark: doubled, the caption shows the name as it is.
      auto* item = new QAction(Q(caption).replace("&", "&&"), menu_);
      QObject::connect(item, &QAction::triggered, onClick);
      menu_->addAction(item);
    }
  }

  QMenu* menu_;
  std::vector<std::pair<std::string, std::function<void()>>> items_;
};

class QtPopupMenu : public PopupMenu {
 public:
  explicit QtPopupMenu(QMenu* menu) : menu_(menu) {}
  void Popup(int x, int y) override { menu_->popup(QPoint(x, y)); }

 private:
  QMenu* menu_;
};

class QtProgressBar : public ProgressBar {
 public:
  explicit QtProgressBar(QProgressBar* w) : w_(w) {}
  void SetRange(int minimum, int maximum) override {
    w_->setMaximum(maximum);
    w_->setMinimum(minimum);
  }
  void SetPosition(int position) override { w_->setValue(position); }

 private:
  QProgressBar* w_;
};

class QtTimer : public Timer, Connections {
 public:
  explicit QtTimer(QTimer* t) : t_(t) {
    QObject::connect(t, &QTimer::timeout, &ctx_, [this] { Fire(OnTimer); });
  }
  bool Enabled() const override { return t_->isActive(); }
  void SetEnabled(bool on) override { on ? t_->start() : t_->stop(); }

 private:
  QTimer* t_;
};

QIcon GlyphIcon(Glyph glyph, const QStyle* style) {
  switch (glyph) {
    case Glyph::More:
      return style->standardIcon(QStyle::SP_ArrowDown);
    case Glyph::Minimize:
      return style->standardIcon(QStyle::SP_TitleBarMinButton);
    case Glyph::Exit:
      return style->standardIcon(QStyle::SP_DialogCloseButton);
    case Glyph::Apply:
      return style->standardIcon(QStyle::SP_DialogApplyButton);
    case Glyph::Warning:
      return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case Glyph::Error:
      return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case Glyph::Information:
      return style->standardIcon(QStyle::SP_MessageBoxInformation);
    case Glyph::Question:
      return style->standardIcon(QStyle::SP_MessageBoxQuestion);
    case Glyph::None:
      break;
  }
  return {};
}

// The widget of one row of the layout, in its parent; nullptr for menus and timers.
QWidget* MakeWidget(const ControlEntry& c, QWidget* parent, QtBuilt& built, ControlSet& set) {
  using K = ControlKind;
  const QString caption = Q(c.caption);
  const QStringList items = [&] {
    QStringList list;
    for (const std::string& item : SplitItems(c.text)) list << Q(item);
    return list;
  }();
  std::unique_ptr<Widget> control;
  QWidget* w = nullptr;
  switch (c.kind) {
    case K::GroupBox:
      w = new QGroupBox(caption, parent);
      break;
    case K::Panel: {
      auto* frame = new QFrame(parent);
      frame->setFrameShape(QFrame::StyledPanel);
      w = frame;
      break;
    }
    case K::TabControl:
    case K::ButtonTabControl: {
      auto* tabs = new QTabWidget(parent);
      tabs->setDocumentMode(c.kind == K::ButtonTabControl);
      tabs->setUsesScrollButtons(true);
      w = tabs;
      break;
    }
    case K::TabPage: {
      auto* tabs = qobject_cast<QTabWidget*>(parent);
      w = new QWidget();
      tabs->addTab(w, caption);
      control = std::make_unique<QtTabPage>(tabs, w);
      break;
    }
    case K::Label:
    case K::LinkLabel:
    case K::Label3d: {
      QLabel* label = c.kind == K::LinkLabel ? new TLinkLabel(caption, parent)
                      : c.kind == K::Label3d ? new TmyLabel3d(caption, parent)
                                             : new QLabel(caption, parent);
      if (c.style & kWordWrap) {
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignTop | Qt::AlignLeft);
      }
      control = std::make_unique<QtLabel>(label);
      w = label;
      break;
    }
    case K::Button:
    case K::GlyphButton: {
      QAbstractButton* button = nullptr;
      if (c.kind == K::GlyphButton) {
        button = new QToolButton(parent);
      } else {
        auto* push = new QPushButton(caption, parent);
        push->setAutoDefault(false);
        push->setDefault(c.style & kDefault);
        button = push;
      }
      button->setIcon(GlyphIcon(c.glyph, parent->style()));
      if (c.style & kCancel) button->setShortcut(QKeySequence(Qt::Key_Escape));
      control = std::make_unique<QtButton>(button);
      w = button;
      break;
    }
    case K::CheckBox: {
      auto* box = new QCheckBox(caption, parent);
      box->setChecked(c.style & kChecked);
      control = std::make_unique<QtCheckBox>(box);
      w = box;
      break;
    }
    case K::RadioGroup: {
      auto* group = new TRadioGroup(caption, items, parent);
      group->SetItemIndex(0);
      control = std::make_unique<QtRadioGroup>(group);
      w = group;
      break;
    }
    case K::Edit: {
      auto* edit = new QLineEdit(Q(c.text), parent);
      if (c.style & kDigits) {
        edit->setMaxLength(5);
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,5}"), edit));
      }
      control = std::make_unique<QtTextField>(edit);
      w = edit;
      break;
    }
    case K::ProgressBar: {
      auto* bar = new QProgressBar(parent);
      bar->setTextVisible(false);
      control = std::make_unique<QtProgressBar>(bar);
      w = bar;
      break;
    }
    case K::Image: {
      auto* image = new QLabel(parent);
      image->setPixmap(c.glyph == Glyph::None ? QPixmap(":/lanvoy/" + Q(c.text) + ".png")
                                              : GlyphIcon(c.glyph, parent->style()).pixmap(32, 32));
      control = std::make_unique<QtContainer>(image);
      w = image;
      break;
    }
    case K::Memo: {
      auto* memo = new QPlainTextEdit(parent);
      memo->setReadOnly(c.style & kReadOnly);
      if (c.style & kGreyBackground) {
        QPalette palette = memo->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Button));
        memo->setPalette(palette);
      }
      memo->setVerticalScrollBarPolicy((c.style & kVScroll) ? Qt::ScrollBarAlwaysOn
                                                            : Qt::ScrollBarAsNeeded);
      if (c.style & kHScroll) {
        memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setLineWrapMode(QPlainTextEdit::NoWrap);
      }
      control = std::make_unique<QtMemo>(memo);
      w = memo;
      break;
    }
    case K::ComboBox: {
      auto* combo = new TEditCombo(parent);
      combo->addItems(items);
      combo->setCurrentIndex(items.isEmpty() ? -1 : 0);
      control = std::make_unique<QtComboBox>(combo);
      w = combo;
      break;
    }
    case K::ListBox: {
      auto* list = new TListBox(parent);
      list->setContextMenuPolicy(Qt::CustomContextMenu);
      control = std::make_unique<QtListBox>(list);
      w = list;
      break;
    }
    case K::Grid: {
      const QStringList headers = items;
      auto* grid = new QTableWidget(1, static_cast<int>(headers.size()), parent);
      grid->setHorizontalHeaderLabels(headers);
      int column = 0;
      for (const std::string& width : SplitItems(c.columns))
        grid->setColumnWidth(column++, std::stoi(width));
      grid->verticalHeader()->setVisible(false);
      grid->verticalHeader()->setDefaultSectionSize(18);
      grid->verticalHeader()->setMinimumSectionSize(18);
      grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
      grid->setEditTriggers(QAbstractItemView::AllEditTriggers);
      grid->setShowGrid(true);
      control = std::make_unique<QtGrid>(grid);
      w = grid;
      break;
    }
    case K::PopupMenu: {
      auto* menu = new QMenu(parent);
      menu->setObjectName(QString::fromStdString(c.name));
      built.menus[c.name] = menu;
      control = std::make_unique<QtPopupMenu>(menu);
      break;
    }
    case K::SubMenu: {
      QMenu* owner = built.menus.at(c.parent);
      auto* menu = new QMenu(caption, owner);
      menu->setObjectName(QString::fromStdString(c.name));
      owner->addMenu(menu);
      built.menus[c.name] = menu;
      control = std::make_unique<QtSubMenu>(menu);
      break;
    }
    case K::MenuItem: {
      QMenu* owner = built.menus.at(c.parent);
      QAction* item = c.caption == "-" ? owner->addSeparator() : owner->addAction(caption);
      item->setObjectName(QString::fromStdString(c.name));
      if (c.style & kDefaultItem) {
        QFont bold = owner->font();
        bold.setBold(true);
        item->setFont(bold);
        owner->setDefaultAction(item);
      }
      control = std::make_unique<QtMenuItem>(item);
      break;
    }
    case K::Timer: {
      auto* timer = new QTimer(parent);
      timer->setObjectName(QString::fromStdString(c.name));
      timer->setInterval(c.width);
      timer->setSingleShot(c.style & kOneShot);
      if (c.style & kEnabledAtStart) timer->start();
      control = std::make_unique<QtTimer>(timer);
      break;
    }
  }
  if (w) {
    w->setObjectName(QString::fromStdString(c.name));
    if (!c.hint.empty()) w->setToolTip(Q(c.hint));
    if (c.kind != K::TabPage) {
      if (c.width > 0) {
        w->setGeometry(c.left, c.top, c.width, c.height);
      } else {
        w->adjustSize();
        w->move(c.left, c.top);
      }
    }
    QFont font = w->font();
    if (!c.font.empty()) {
      font.setFamily(QString::fromStdString(c.font));
      font.setStyleHint(QFont::TypeWriter);
    }
    if (c.style & kBold) font.setBold(true);
    if (c.points) font.setPointSize(c.points);
    w->setFont(font);
    if (c.style & kDisabled) {
      if (c.kind == K::TabPage)
        static_cast<QtTabPage*>(control.get())->SetEnabled(false);
      else
        w->setEnabled(false);
    }
    built.widgets[c.name] = w;
    if (!control) control = std::make_unique<QtContainer>(w);
  }
  set.Add(c.name, std::move(control));
  return w;
}

}  // namespace

QtBuilt BuildQtControls(const WindowLayout& layout, QWidget* window, ControlSet& set) {
  QtBuilt built;
  for (const ControlEntry& c : layout.controls) {
    auto parent = built.widgets.find(c.parent);
    MakeWidget(c, parent == built.widgets.end() ? window : parent->second, built, set);
  }
  // Context menus, once every menu exists.
  for (const ControlEntry& c : layout.controls) {
    if (c.popup.empty()) continue;
    QWidget* w = built.widgets.at(c.name);
    QMenu* menu = built.menus.at(c.popup);
    QObject::connect(w, &QWidget::customContextMenuRequested,
                     [w, menu](const QPoint& at) { menu->popup(w->mapToGlobal(at)); });
  }
  return built;
}

namespace {

Qt::WindowFlags FlagsOf(unsigned style) {
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
  if (style & kNoBorder)
    flags = Qt::SplashScreen | Qt::FramelessWindowHint;
  else if (style & kNoTitleButtons)
    flags |= Qt::WindowTitleHint;
  else
    flags |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (style & kOnTop) flags |= Qt::WindowStaysOnTopHint;
  return flags;
}

}  // namespace

QtLayoutWindow::QtLayoutWindow(WindowLayout layout, QWidget* owner)
    : QDialog(owner, FlagsOf(layout.style)), layout_(std::move(layout)) {
  setObjectName(QString::fromStdString(layout_.name));
  setWindowTitle(Q(layout_.caption));
  QFont font(QString::fromStdString(layout_.fontName));
  if (layout_.fontPoints < 0)
    font.setPixelSize(-layout_.fontPoints);
  else
    font.setPointSize(layout_.fontPoints);
  setFont(font);
  built_ = BuildQtControls(layout_, this, controls_);
  if (layout_.style & kResizable) {
    resize(layout_.width, layout_.height);
    setMinimumSize(layout_.minWidth, layout_.minHeight);
  } else {
    setFixedSize(layout_.width, layout_.height);
  }
}

void QtLayoutWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  const int dx = width() - layout_.width, dy = height() - layout_.height;
  for (const ControlEntry& c : layout_.controls) {
    auto found = built_.widgets.find(c.name);
    if (found == built_.widgets.end()) continue;
    const unsigned s = c.style;
    if (!(s & (kAnchorRight | kAnchorBottom | kStretchWidth | kStretchHeight | kCentredAcross)))
      continue;
    const int left = c.left + ((s & kAnchorRight) ? dx : 0) + ((s & kCentredAcross) ? dx / 2 : 0);
    const int top = c.top + ((s & kAnchorBottom) ? dy : 0);
    found->second->setGeometry(left, top, c.width + ((s & kStretchWidth) ? dx : 0),
                               c.height + ((s & kStretchHeight) ? dy : 0));
  }
}

}  // namespace lanvoy
