#include "mainwindow/win32/win32_adapters.h"

#include <uxtheme.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "base/placement.h"
#include "mainwindow/win32/win32_text.h"

namespace lanvoy {

std::set<HWND>& OurWindows() {
  static std::set<HWND> windows;
  return windows;
}

bool& Busy() {
  static bool busy = false;
  return busy;
}

LRESULT CALLBACK PageProcedure(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT && GetWindowLongPtrW(h, GWLP_USERDATA)) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(h, &paint);
    RECT r;
    GetClientRect(h, &r);
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    EndPaint(h, &paint);
    return 0;
  }
  return DefWindowProcW(h, message, wParam, lParam);
}

bool AncestorsEnabled(HWND h) {
  for (; h; h = GetParent(h)) {
    if (!IsWindowEnabled(h)) return false;
    if (!(GetWindowLongW(h, GWL_STYLE) & WS_CHILD)) break;
  }
  return true;
}

namespace {

// The property of a window greyed only because a page around it is disabled.
const wchar_t* GreyedMark() {
  static const ATOM atom = GlobalAddAtomW(L"LanvoyGreyedByPage");
  return MAKEINTATOM(atom);
}

// A disabled window around h (up to the top-level window) that is not itself only greyed.
bool InDisabledContainer(HWND h) {
  for (HWND a = GetParent(h); a && (GetWindowLongW(a, GWL_STYLE) & WS_CHILD); a = GetParent(a))
    if (!IsWindowEnabled(a) && !GetPropW(a, GreyedMark())) return true;
  return false;
}

}  // namespace

bool OwnEnabled(HWND h) {
  return IsWindowEnabled(h) || GetPropW(h, GreyedMark());
}

void SetOwnEnabled(HWND h, bool on) {
  const bool greyed = on && InDisabledContainer(h);
  if (greyed)
    SetPropW(h, GreyedMark(), reinterpret_cast<HANDLE>(1));
  else
    RemovePropW(h, GreyedMark());
  EnableWindow(h, on && !greyed);
}

void GreyInside(HWND container, bool greyed) {
  EnumChildWindows(
      container,
      [](HWND child, LPARAM greyed) -> BOOL {
        if (greyed && IsWindowEnabled(child)) {
          SetPropW(child, GreyedMark(), reinterpret_cast<HANDLE>(1));
          EnableWindow(child, FALSE);
        } else if (!greyed && GetPropW(child, GreyedMark()) && !InDisabledContainer(child)) {
          RemovePropW(child, GreyedMark());
          EnableWindow(child, TRUE);
        }
        return TRUE;
      },
      greyed);
}

const wchar_t* MessageIcon(Glyph glyph) {
  switch (glyph) {
    case Glyph::Warning:
      return IDI_WARNING;
    case Glyph::Error:
      return IDI_ERROR;
    case Glyph::Information:
      return IDI_INFORMATION;
    case Glyph::Question:
      return IDI_QUESTION;
    default:
      return nullptr;
  }
}

namespace {

std::wstring TextOf(HWND h) {
  const int length = GetWindowTextLengthW(h);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(h, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  return text;
}

template <class Event, class... Args>
void Fire(const Event& event, Args... args) {
  if (event) event(args...);
}

// Containers pass what their controls send on to the top-level window, where the adapters are
// found; a list view passes its cell editor's messages.
LRESULT CALLBACK ForwardToRoot(HWND h, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return SendMessageW(GetAncestor(h, GA_ROOT), message, wParam, lParam);
    default:
      return DefSubclassProc(h, message, wParam, lParam);
  }
}

template <class Base>
class W32Control : public Base, public Win32Target, public Win32WindowOf {
 public:
  W32Control(Win32Window& window, HWND h) : window_(window), h_(h) { window.Register(h, this); }
  HWND hwnd() const override { return h_; }
  bool Enabled() const override { return OwnEnabled(h_); }
  void SetEnabled(bool on) override { SetOwnEnabled(h_, on); }
  bool SetFocus() override {
    if (!AncestorsEnabled(h_) || !IsWindowVisible(h_)) return false;
    ::SetFocus(h_);
    return true;
  }

 protected:
  Win32Window& window_;
  HWND h_;
};

class W32Button : public W32Control<Button> {
 public:
  W32Button(Win32Window& window, HWND h, Glyph glyph = Glyph::None)
      : W32Control(window, h), glyph_(glyph) {}
  void Command(WORD code) override {
    if (code == BN_CLICKED) Fire(OnClick);
  }
  // A glyph button: the button's frame, then its picture in the colour of its text.
  bool Draw(const DRAWITEMSTRUCT& item) override {
    if (glyph_ == Glyph::None) return false;
    RECT r = item.rcItem;
    const bool pushed = item.itemState & ODS_SELECTED, off = item.itemState & ODS_DISABLED;
    DrawFrameControl(item.hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    HBRUSH brush = GetSysColorBrush(off ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
    const int cx = (r.left + r.right) / 2 + (pushed ? 1 : 0);
    const int cy = (r.top + r.bottom) / 2 + (pushed ? 1 : 0);
    const int u = std::max<int>(1, (r.bottom - r.top) / 10);
    if (glyph_ == Glyph::More) {
      HGDIOBJ oldBrush = SelectObject(item.hDC, brush);
      HGDIOBJ oldPen = SelectObject(item.hDC, GetStockObject(NULL_PEN));
      const POINT arrow[] = {{cx - 3 * u, cy - u}, {cx + 3 * u + 1, cy - u}, {cx, cy + 2 * u}};
      Polygon(item.hDC, arrow, 3);
      SelectObject(item.hDC, oldPen);
      SelectObject(item.hDC, oldBrush);
    } else if (glyph_ == Glyph::Minimize) {
      RECT bar{cx - 3 * u, cy + u, cx + 3 * u, cy + 2 * u};
      FillRect(item.hDC, &bar, brush);
    } else if (glyph_ == Glyph::Exit) {
      HPEN pen = CreatePen(PS_SOLID, u + 1, GetSysColor(off ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
      HGDIOBJ old = SelectObject(item.hDC, pen);
      MoveToEx(item.hDC, cx - 2 * u, cy - 2 * u, nullptr);
      LineTo(item.hDC, cx + 2 * u, cy + 2 * u);
      MoveToEx(item.hDC, cx + 2 * u, cy - 2 * u, nullptr);
      LineTo(item.hDC, cx - 2 * u, cy + 2 * u);
      SelectObject(item.hDC, old);
      DeleteObject(pen);
    }
    if (item.itemState & ODS_FOCUS) {
      RECT focus = r;
      InflateRect(&focus, -3, -3);
      DrawFocusRect(item.hDC, &focus);
    }
    return true;
  }

 private:
  Glyph glyph_;
};

class W32CheckBox : public W32Control<CheckBox> {
 public:
  using W32Control::W32Control;
  bool Checked() const override { return SendMessageW(h_, BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void SetChecked(bool on) override {
    if (on == Checked()) return;
    SendMessageW(h_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    Fire(OnClick);
  }
  // An automatic check box has changed its state when it tells of the click.
  void Command(WORD code) override {
    if (code == BN_CLICKED) Fire(OnClick);
  }
};

// A group box of radio buttons whose selection is an item index (-1: none).
class W32RadioGroup : public W32Control<RadioGroup> {
 public:
  W32RadioGroup(Win32Window& window, HWND group, std::vector<HWND> items)
      : W32Control(window, group), items_(std::move(items)) {
    for (size_t i = 0; i < items_.size(); ++i) {
      targets_.push_back(std::make_unique<Item>(*this, static_cast<int>(i)));
      window.Register(items_[i], targets_.back().get());
    }
  }
  int ItemIndex() const override { return index_; }
  void SetItemIndex(int index) override {
    if (index < -1 || index >= static_cast<int>(items_.size())) index = -1;
    if (index == index_) return;
    index_ = index;
    for (size_t i = 0; i < items_.size(); ++i)
      SendMessageW(items_[i], BM_SETCHECK,
                   static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED, 0);
    Fire(OnClick);
  }
  void SetEnabled(bool on) override {
    SetOwnEnabled(h_, on);
    for (HWND item : items_) SetOwnEnabled(item, on);
  }
  bool SetFocus() override {
    if (!AncestorsEnabled(h_) || items_.empty()) return false;
    ::SetFocus(items_[static_cast<size_t>(std::max(index_, 0))]);
    return true;
  }

 private:
  class Item : public Win32Target {
   public:
    Item(W32RadioGroup& group, int index) : group_(group), index_(index) {}
    void Command(WORD code) override {
      if (code == BN_CLICKED) group_.SetItemIndex(index_);
    }

   private:
    W32RadioGroup& group_;
    int index_;
  };
  std::vector<HWND> items_;
  std::vector<std::unique_ptr<Item>> targets_;
  int index_ = -1;
};

// Typed characters of an edit or a list to the logic's key event; Enter too, which the
// dialog keyboard interface would otherwise take for the default button.
template <class Base>
class W32Keyed : public W32Control<Base> {
 public:
  W32Keyed(Win32Window& window, HWND h) : W32Control<Base>(window, h) {
    SetWindowSubclass(h, &KeyProcedure, 1, reinterpret_cast<DWORD_PTR>(this));
  }
  ~W32Keyed() override { RemoveWindowSubclass(this->h_, &KeyProcedure, 1); }

 private:
  static LRESULT CALLBACK KeyProcedure(HWND h, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR data) {
    auto* self = reinterpret_cast<W32Keyed*>(data);
    if (message == WM_GETDLGCODE && self->Base::OnKeyPress && lParam) {
      const MSG* msg = reinterpret_cast<const MSG*>(lParam);
      if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN)
        return DefSubclassProc(h, message, wParam, lParam) | DLGC_WANTMESSAGE;
    }
    if (message == WM_CHAR && self->Base::OnKeyPress) {
      const std::string typed = A(std::wstring(1, static_cast<wchar_t>(wParam)));
      if (!typed.empty() && self->Base::OnKeyPress(typed[0])) return 0;
    }
    return DefSubclassProc(h, message, wParam, lParam);
  }
};

class W32TextField : public W32Keyed<TextField> {
 public:
  using W32Keyed::W32Keyed;
  std::string Text() const override { return A(TextOf(h_)); }
  void SetText(const std::string& text) override { SetWindowTextW(h_, W(text).c_str()); }
  void SetInvalid(bool on) override {
    if (on == invalid_) return;
    invalid_ = on;
    InvalidateRect(h_, nullptr, TRUE);
  }
  void Command(WORD code) override {
    if (code == EN_SETFOCUS) Fire(OnEnter);
    if (code == EN_CHANGE) Fire(OnChange);
  }
  HBRUSH Colour(HDC dc) override {
    if (!invalid_) return nullptr;
    // The same tint as the Qt window's; one brush for every field, for the program's life.
    constexpr COLORREF kTint = RGB(255, 200, 200);
    static const HBRUSH tint = CreateSolidBrush(kTint);
    SetBkColor(dc, kTint);
    return tint;
  }

 private:
  bool invalid_ = false;
};

class W32Memo : public W32Control<Memo> {
 public:
  W32Memo(Win32Window& window, HWND h, bool grey) : W32Control(window, h), grey_(grey) {}
  std::string Text() const override { return A(TextOf(h_)); }
  void SetText(const std::string& text) override { SetWindowTextW(h_, W(text).c_str()); }
  bool ReadOnly() const override { return GetWindowLongW(h_, GWL_STYLE) & ES_READONLY; }
  void SetReadOnly(bool on) override { SendMessageW(h_, EM_SETREADONLY, on, 0); }
  HBRUSH Colour(HDC dc) override {
    if (!grey_) return nullptr;
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
  }

 private:
  bool grey_;
};

class W32ComboBox : public W32Control<ComboBox> {
 public:
  using W32Control::W32Control;
  std::string Text() const override { return A(TextOf(h_)); }
  void SetText(const std::string& text) override {
    index_ = -1;
    SendMessageW(h_, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetWindowTextW(h_, W(text).c_str());
  }
  int Count() const override { return static_cast<int>(SendMessageW(h_, CB_GETCOUNT, 0, 0)); }
  void Clear() override {
    SendMessageW(h_, CB_RESETCONTENT, 0, 0);
    SetWindowTextW(h_, L"");
    index_ = -1;
  }
  void AddItem(const std::string& item) override {
    SendMessageW(h_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(item).c_str()));
  }
  int ItemIndex() const override { return index_; }
  void SetItemIndex(int index) override {
    if (index >= 0 && index < Count()) {
      SendMessageW(h_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
      index_ = index;
      return;
    }
    const std::wstring text = TextOf(h_);
    SendMessageW(h_, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetWindowTextW(h_, text.c_str());
    index_ = -1;
  }
  void Command(WORD code) override {
    if (code == CBN_EDITCHANGE) index_ = -1;  // typed text is no item
    if (code != CBN_SELCHANGE) return;
    const int index = static_cast<int>(SendMessageW(h_, CB_GETCURSEL, 0, 0));
    if (index < 0) return;
    index_ = index;
    // The edit shows the chosen item only after this notification; the logic reads it now.
    const int length = static_cast<int>(SendMessageW(h_, CB_GETLBTEXTLEN, index, 0));
    std::wstring item(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
    SendMessageW(h_, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(item.data()));
    SetWindowTextW(h_, item.c_str());
    Fire(OnSelect, index);
  }

 private:
  int index_ = -1;
};

class W32ListBox : public W32Keyed<ListBox> {
 public:
  using W32Keyed::W32Keyed;
  int Count() const override { return static_cast<int>(SendMessageW(h_, LB_GETCOUNT, 0, 0)); }
  std::string Item(int index) const override {
    const int length = static_cast<int>(SendMessageW(h_, LB_GETTEXTLEN, index, 0));
    if (length < 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(h_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return A(text);
  }
  void SetItems(const std::vector<std::string>& items) override {
    SendMessageW(h_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(h_, LB_RESETCONTENT, 0, 0);
    for (const std::string& item : items)
      SendMessageW(h_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(item).c_str()));
    SendMessageW(h_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(h_, nullptr, TRUE);
  }
  int ItemIndex() const override { return static_cast<int>(SendMessageW(h_, LB_GETCURSEL, 0, 0)); }
  void SetItemIndex(int index) override { SendMessageW(h_, LB_SETCURSEL, index, 0); }
  void Command(WORD code) override {
    if (code == LBN_SELCHANGE) Fire(OnClick);
    if (code == LBN_DBLCLK) Fire(OnDblClick);
  }
};

// A list view in report mode; a click on a cell of the current row opens an editor on it.
class W32Grid : public W32Control<Grid> {
 public:
  W32Grid(Win32Window& window, HWND h, int columns) : W32Control(window, h), columns_(columns) {}
  ~W32Grid() override { EndEdit(false); }
  int RowCount() const override {
    return static_cast<int>(SendMessageW(h_, LVM_GETITEMCOUNT, 0, 0));
  }
  void SetRowCount(int rows) override {
    EndEdit(true);
    while (RowCount() < rows) InsertRow(RowCount());
    while (RowCount() > rows) DeleteRow(RowCount() - 1);
  }
  std::string Cell(int row, int column) const override {
    std::wstring text(1024, L'\0');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    const int length =
        static_cast<int>(SendMessageW(h_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
    text.resize(static_cast<size_t>(std::max(length, 0)));
    return A(text);
  }
  void SetCell(int row, int column, const std::string& text) override {
    std::wstring wide = W(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    SendMessageW(h_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  }
  void InsertRow(int at) override {
    EndEdit(true);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = at;
    item.pszText = const_cast<wchar_t*>(L"");
    SendMessageW(h_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
  void DeleteRow(int row) override {
    EndEdit(true);
    SendMessageW(h_, LVM_DELETEITEM, row, 0);
  }
  int CurrentRow() const override {
    return static_cast<int>(
        SendMessageW(h_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_FOCUSED, 0)));
  }
  void SetCurrentCell(int row, int column) override {
    LVITEMW state{};
    state.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageW(h_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageW(h_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    SendMessageW(h_, LVM_ENSUREVISIBLE, row, FALSE);
    column_ = column;
  }
  LRESULT Notify(NMHDR& header) override {
    if (header.code == NM_CLICK || header.code == NM_DBLCLK) {
      const auto& click = reinterpret_cast<const NMITEMACTIVATE&>(header);
      LVHITTESTINFO hit{};
      hit.pt = click.ptAction;
      if (SendMessageW(h_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) >= 0 &&
          hit.iItem >= 0)
        BeginEdit(hit.iItem, hit.iSubItem);
    }
    return 0;
  }
  // The editor over a cell; its text goes into the cell when it closes.
  void BeginEdit(int row, int column) {
    EndEdit(true);
    if (column < 0 || column >= columns_) return;
    RECT r{};
    r.top = column;
    r.left = column == 0 ? LVIR_LABEL : LVIR_BOUNDS;
    SendMessageW(h_, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&r));
    editor_ = CreateWindowExW(0, L"EDIT", W(Cell(row, column)).c_str(),
                              WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, r.left, r.top,
                              r.right - r.left, r.bottom - r.top, h_, nullptr, nullptr, nullptr);
    SendMessageW(editor_, WM_SETFONT, SendMessageW(h_, WM_GETFONT, 0, 0), TRUE);
    SetWindowSubclass(editor_, &EditorProcedure, 2, reinterpret_cast<DWORD_PTR>(this));
    editRow_ = row;
    column_ = column;
    ::SetFocus(editor_);
    SendMessageW(editor_, EM_SETSEL, 0, -1);
  }
  void EndEdit(bool keep) {
    if (!editor_) return;
    HWND editor = std::exchange(editor_, nullptr);
    if (keep && editRow_ < RowCount()) SetCell(editRow_, column_, A(TextOf(editor)));
    RemoveWindowSubclass(editor, &EditorProcedure, 2);
    DestroyWindow(editor);
  }
  HWND Editor() const { return editor_; }

 private:
  static LRESULT CALLBACK EditorProcedure(HWND h, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<W32Grid*>(data);
    if (message == WM_GETDLGCODE) return DLGC_WANTALLKEYS;
    if (message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
      self->EndEdit(wParam == VK_RETURN);
      return 0;
    }
    if (message == WM_KILLFOCUS) {
      LRESULT result = DefSubclassProc(h, message, wParam, lParam);
      self->EndEdit(true);
      return result;
    }
    return DefSubclassProc(h, message, wParam, lParam);
  }
  int columns_;
  int column_ = 0, editRow_ = -1;
  HWND editor_ = nullptr;
};

class W32TabPage : public W32Control<TabPage> {
 public:
  W32TabPage(Win32Window& window, HWND page, W32TabControl& tabs, int index)
      : W32Control(window, page), tabs_(tabs), index_(index) {}
  void Activate() override;
  // A page inside a disabled page is greyed as any control there.
  void SetEnabled(bool on) override {
    SetOwnEnabled(h_, on);
    GreyInside(h_, !IsWindowEnabled(h_));
    InvalidateRect(tabs_.hwnd(), nullptr, TRUE);
  }

 private:
  W32TabControl& tabs_;
  int index_;
};

void W32TabPage::Activate() {
  tabs_.Select(index_);
}

class W32Label : public Label, public Win32Target, public Win32WindowOf {
 public:
  W32Label(Win32Window& window, HWND h, bool link) : h_(h), link_(link) {
    window.Register(h, this);
  }
  HWND hwnd() const override { return h_; }
  void SetCaption(const std::string& text) override {
    SetWindowTextW(h_, W(text).c_str());
    InvalidateRect(h_, nullptr, TRUE);
  }
  void Command(WORD code) override {
    if (code == STN_CLICKED && link_) Fire(OnClick);
  }
  HBRUSH Colour(HDC dc) override {
    if (!link_) return nullptr;
    SetTextColor(dc, RGB(0, 0, 255));
    SetBkMode(dc, TRANSPARENT);
    return GetSysColorBrush(COLOR_BTNFACE);
  }

 protected:
  HWND h_;
  bool link_;
};

// Drawn raised: the text once in the shadow colour, offset, then in red.
class W32Label3d : public W32Label {
 public:
  W32Label3d(Win32Window& window, HWND h) : W32Label(window, h, false) {}
  bool Draw(const DRAWITEMSTRUCT& item) override {
    RECT r = item.rcItem;
    FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    const std::wstring text = TextOf(h_);
    SetBkMode(item.hDC, TRANSPARENT);
    RECT shadow = r;
    OffsetRect(&shadow, 2, 2);
    SetTextColor(item.hDC, RGB(128, 128, 128));
    DrawTextW(item.hDC, text.c_str(), -1, &shadow, DT_LEFT | DT_TOP);
    SetTextColor(item.hDC, RGB(255, 0, 0));
    DrawTextW(item.hDC, text.c_str(), -1, &r, DT_LEFT | DT_TOP);
    return true;
  }
};

class W32Container : public Container, public Win32WindowOf {
 public:
  explicit W32Container(HWND h) : h_(h) {}
  HWND hwnd() const override { return h_; }

 private:
  HWND h_;
};

class W32MenuItem : public MenuItem, public Win32Target {
 public:
  W32MenuItem(Win32Window& window, HMENU menu, UINT id) : menu_(menu), id_(id) {
    window.RegisterId(id, this);
  }
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool on) override {
    enabled_ = on;
    EnableMenuItem(menu_, id_, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
  }
  void Command(WORD) override {
    if (enabled_) Fire(OnClick);
  }

 private:
  HMENU menu_;
  UINT id_;
  bool enabled_ = true;
};

class W32SubMenu : public SubMenu {
 public:
  W32SubMenu(Win32Window& window, HMENU menu) : window_(window), menu_(menu) {}
  void Clear() override {
    while (GetMenuItemCount(menu_) > 0) DeleteMenu(menu_, 0, MF_BYPOSITION);
    for (const auto& item : items_) window_.Forget(item->id);
    items_.clear();
  }
  void Add(const std::string& caption, std::function<void()> onClick) override {
    auto item = std::make_unique<Entry>();
    item->id = window_.NewId();
    item->caption = caption;
    item->onClick = std::move(onClick);
    // "&" makes no accelerator: doubled, the caption shows as it is.
    std::wstring shown;
    for (wchar_t c : W(caption)) {
      shown += c;
      if (c == L'&') shown += c;
    }
    AppendMenuW(menu_, MF_STRING, item->id, shown.c_str());
    window_.RegisterId(item->id, item.get());
    items_.push_back(std::move(item));
  }
  std::vector<std::string> Captions() const override {
    std::vector<std::string> captions;
    for (const auto& item : items_) captions.push_back(item->caption);
    return captions;
  }

 private:
  struct Entry : Win32Target {
    UINT id = 0;
    std::string caption;
    std::function<void()> onClick;
    void Command(WORD) override { Fire(onClick); }
  };
  Win32Window& window_;
  HMENU menu_;
  std::vector<std::unique_ptr<Entry>> items_;
};

// Opened for the window: it comes to the foreground first, and gets an empty message after
// the menu, so that the menu closes when the user clicks elsewhere (also from the tray).
class W32PopupMenu : public PopupMenu {
 public:
  W32PopupMenu(HWND owner, HMENU menu) : owner_(owner), menu_(menu) {}
  ~W32PopupMenu() override { DestroyMenu(menu_); }
  void Popup(int x, int y) override {
    SetForegroundWindow(owner_);
    TrackPopupMenu(menu_, TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, owner_, nullptr);
    PostMessageW(owner_, WM_NULL, 0, 0);
  }

 private:
  HWND owner_;
  HMENU menu_;
};

class W32ProgressBar : public ProgressBar {
 public:
  explicit W32ProgressBar(HWND h) : h_(h) {}
  void SetRange(int minimum, int maximum) override {
    SendMessageW(h_, PBM_SETRANGE32, minimum, maximum);
  }
  void SetPosition(int position) override { SendMessageW(h_, PBM_SETPOS, position, 0); }

 private:
  HWND h_;
};

class W32Timer : public Timer, public Win32Target {
 public:
  W32Timer(Win32Window& window, int interval) : window_(window), interval_(interval) {
    id_ = window.NewId();
    window.RegisterId(id_, this);
  }
  ~W32Timer() override { SetEnabled(false); }
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool on) override {
    if (on)
      SetTimer(window_.Handle(), id_, static_cast<UINT>(interval_), nullptr);
    else if (enabled_)
      KillTimer(window_.Handle(), id_);
    enabled_ = on;
  }
  void Timer() override {
    if (enabled_) Fire(OnTimer);
  }

 private:
  Win32Window& window_;
  int interval_;
  UINT id_ = 0;
  bool enabled_ = false;
};

}  // namespace

LRESULT CALLBACK Win32Window::ContextMenuProcedure(HWND h, UINT message, WPARAM wParam,
                                                   LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  if (message != WM_CONTEXTMENU) return DefSubclassProc(h, message, wParam, lParam);
  auto* self = reinterpret_cast<Win32Window*>(data);
  POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (lParam == -1) {  // from the keyboard: at the control
    at = {0, 0};
    ClientToScreen(h, &at);
  }
  self->controls_.Get<PopupMenu>(self->popups_.at(h)).Popup(at.x, at.y);
  return 0;
}

void Win32Window::Build() {
  for (const ControlEntry& c : layout_.controls) {
    auto parent = windows_.find(c.parent);
    Make(c, parent == windows_.end() ? hwnd_ : parent->second);
  }
  // A page disabled from the start greys what was made inside it.
  for (const ControlEntry& c : layout_.controls)
    if (c.kind == ControlKind::TabPage && (c.style & kDisabled))
      controls_.Get<TabPage>(c.name).SetEnabled(false);
}

HWND Win32Window::Make(const ControlEntry& c, HWND parent) {
  using K = ControlKind;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  const std::wstring caption = W(c.caption);
  const std::vector<std::string> items = SplitItems(c.text);
  const UINT id = (c.style & kCancel) && c.kind == K::Button ? IDCANCEL : NewId();
  DWORD style = WS_CHILD | WS_VISIBLE;
  if (c.style & kDisabled && c.kind != K::TabPage) style |= WS_DISABLED;
  int left = Scale(c.left), top = Scale(c.top), width = Scale(c.width), height = Scale(c.height);
  HFONT font = FontFor(c, c.kind == K::LinkLabel);
  auto create = [&](DWORD exStyle, const wchar_t* cls, const std::wstring& text, DWORD more) {
    HWND h =
        CreateWindowExW(exStyle, cls, text.c_str(), style | more, left, top, width, height, parent,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance, nullptr);
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return h;
  };
  // As large as the caption when the layout gives no width.
  if (c.width == 0 && c.kind != K::TabPage) {
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, font);
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, caption.c_str(), -1, &r, DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    width = r.right + 2;
    height = r.bottom;
  }
  std::unique_ptr<Widget> control;
  HWND h = nullptr;
  switch (c.kind) {
    case K::GroupBox:
      h = create(WS_EX_CONTROLPARENT, L"BUTTON", caption, BS_GROUPBOX | WS_CLIPSIBLINGS);
      SetWindowSubclass(h, &ForwardToRoot, 0, 0);
      break;
    case K::Panel:
      h = create(WS_EX_CONTROLPARENT, kPageClass, L"", 0);
      SetWindowLongPtrW(h, GWLP_USERDATA, 1);  // raised edge
      SetWindowSubclass(h, &ForwardToRoot, 0, 0);
      break;
    case K::TabControl:
    case K::ButtonTabControl: {
      h = create(WS_EX_CONTROLPARENT, WC_TABCONTROLW, L"",
                 WS_CLIPSIBLINGS | WS_TABSTOP | TCS_OWNERDRAWFIXED |
                     (c.kind == K::ButtonTabControl ? TCS_BUTTONS : 0));
      // All nine tabs of the main window fit in one row at its width.
      SendMessageW(h, TCM_SETPADDING, 0, MAKELPARAM(Scale(4), Scale(3)));
      control = std::make_unique<W32TabControl>(*this, h);
      break;
    }
    case K::TabPage: {
      HWND tabs = parent;
      auto& tabControl = controls_.Get<W32TabControl>(c.parent);
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      std::wstring text = caption;
      item.pszText = text.data();
      const int index = TabCtrl_GetItemCount(tabs);
      SendMessageW(tabs, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
      style &= ~static_cast<DWORD>(WS_VISIBLE);
      h = create(WS_EX_CONTROLPARENT, kPageClass, L"", 0);
      SetWindowSubclass(h, &ForwardToRoot, 0, 0);
      control = std::make_unique<W32TabPage>(*this, h, tabControl, index);
      windows_[c.name] = h;
      tabControl.AddPage(h);
      break;
    }
    case K::Label:
    case K::LinkLabel:
      h = create(0, L"STATIC", caption, SS_LEFT | (c.kind == K::LinkLabel ? SS_NOTIFY : 0));
      control = std::make_unique<W32Label>(*this, h, c.kind == K::LinkLabel);
      if (c.kind == K::LinkLabel) linkLabels_.push_back(h);
      break;
    case K::Label3d:
      h = create(0, L"STATIC", caption, SS_OWNERDRAW);
      control = std::make_unique<W32Label3d>(*this, h);
      break;
    case K::Button:
    case K::GlyphButton: {
      const bool glyph = c.kind == K::GlyphButton;
      h = create(0, L"BUTTON", caption,
                 WS_TABSTOP | (glyph                  ? BS_OWNERDRAW
                               : (c.style & kDefault) ? BS_DEFPUSHBUTTON
                                                      : BS_PUSHBUTTON));
      control = std::make_unique<W32Button>(*this, h, glyph ? c.glyph : Glyph::None);
      break;
    }
    case K::CheckBox:
      h = create(0, L"BUTTON", caption, BS_AUTOCHECKBOX | WS_TABSTOP);
      if (c.style & kChecked) SendMessageW(h, BM_SETCHECK, BST_CHECKED, 0);
      control = std::make_unique<W32CheckBox>(*this, h);
      break;
    case K::RadioGroup: {
      h = create(WS_EX_CONTROLPARENT, L"BUTTON", caption, BS_GROUPBOX);
      SetWindowSubclass(h, &ForwardToRoot, 0, 0);
      std::vector<HWND> buttons;
      const int rows = std::max<int>(1, static_cast<int>(items.size()));
      const int first = Scale(14), step = (height - first - Scale(4)) / rows;
      for (size_t i = 0; i < items.size(); ++i) {
        HWND item = CreateWindowExW(
            0, L"BUTTON", W(items[i]).c_str(),
            WS_CHILD | WS_VISIBLE | BS_RADIOBUTTON | (i == 0 ? WS_TABSTOP | WS_GROUP : 0), Scale(8),
            first + step * static_cast<int>(i), width - Scale(16), step, h,
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(NewId())), instance, nullptr);
        SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        buttons.push_back(item);
      }
      auto group = std::make_unique<W32RadioGroup>(*this, h, buttons);
      group->SetItemIndex(0);
      control = std::move(group);
      break;
    }
    case K::Edit:
      h = create(WS_EX_CLIENTEDGE, L"EDIT", W(c.text),
                 ES_AUTOHSCROLL | WS_TABSTOP | ((c.style & kDigits) ? ES_NUMBER : 0));
      if (c.style & kDigits) SendMessageW(h, EM_SETLIMITTEXT, 5, 0);
      control = std::make_unique<W32TextField>(*this, h);
      break;
    case K::Memo:
      h = create(WS_EX_CLIENTEDGE, L"EDIT", L"",
                 ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_TABSTOP |
                     ((c.style & kVScroll) ? WS_VSCROLL : 0) |
                     ((c.style & kHScroll) ? WS_HSCROLL | ES_AUTOHSCROLL : 0) |
                     ((c.style & kReadOnly) ? ES_READONLY : 0));
      SendMessageW(h, EM_SETLIMITTEXT, 0, 0);
      control = std::make_unique<W32Memo>(*this, h, c.style & kGreyBackground);
      break;
    case K::ComboBox: {
      height += Scale(160);  // with its list
      h = create(0, L"COMBOBOX", L"", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP);
      for (const std::string& item : items)
        SendMessageW(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(item).c_str()));
      auto combo = std::make_unique<W32ComboBox>(*this, h);
      if (!items.empty()) combo->SetItemIndex(0);
      control = std::move(combo);
      break;
    }
    case K::ListBox:
      h = create(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                 LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP);
      control = std::make_unique<W32ListBox>(*this, h);
      break;
    case K::Grid: {
      h = create(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                 LVS_REPORT | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | WS_TABSTOP);
      SendMessageW(h, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
      const std::vector<std::string> widths = SplitItems(c.columns);
      for (size_t i = 0; i < items.size(); ++i) {
        std::wstring header = W(items[i]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = header.data();
        column.cx = i < widths.size() ? Scale(std::stoi(widths[i])) : Scale(100);
        SendMessageW(h, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
      }
      auto grid = std::make_unique<W32Grid>(*this, h, static_cast<int>(items.size()));
      grid->SetRowCount(1);
      control = std::move(grid);
      break;
    }
    case K::ProgressBar:
      h = create(0, PROGRESS_CLASSW, L"", 0);
      control = std::make_unique<W32ProgressBar>(h);
      break;
    case K::Image: {
      const wchar_t* icon = MessageIcon(c.glyph);
      h = create(0, L"STATIC", L"", icon ? SS_ICON : SS_BITMAP);
      if (icon)
        SendMessageW(h, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, icon)), 0);
      else
        SendMessageW(h, STM_SETIMAGE, IMAGE_BITMAP,
                     reinterpret_cast<LPARAM>(LoadImageW(instance, W(c.text).c_str(), IMAGE_BITMAP,
                                                         0, 0, LR_DEFAULTCOLOR)));
      break;
    }
    case K::PopupMenu: {
      HMENU menu = CreatePopupMenu();
      menus_[c.name] = menu;
      control = std::make_unique<W32PopupMenu>(hwnd_, menu);
      break;
    }
    case K::SubMenu: {
      HMENU menu = CreatePopupMenu();
      AppendMenuW(menus_.at(c.parent), MF_POPUP, reinterpret_cast<UINT_PTR>(menu), caption.c_str());
      menus_[c.name] = menu;
      control = std::make_unique<W32SubMenu>(*this, menu);
      break;
    }
    case K::MenuItem: {
      HMENU owner = menus_.at(c.parent);
      if (c.caption == "-")
        AppendMenuW(owner, MF_SEPARATOR, id, nullptr);
      else
        AppendMenuW(owner, MF_STRING, id, caption.c_str());
      if (c.style & kDefaultItem) SetMenuDefaultItem(owner, id, FALSE);
      commands_[c.name] = id;
      control = std::make_unique<W32MenuItem>(*this, owner, id);
      break;
    }
    case K::Timer: {
      auto timer = std::make_unique<W32Timer>(*this, c.width);
      if (c.style & kEnabledAtStart) timer->SetEnabled(true);
      control = std::move(timer);
      break;
    }
  }
  if (h) {
    windows_[c.name] = h;
    if (!c.hint.empty()) SetHint(h, c.hint);
    if (!c.popup.empty()) {
      popups_[h] = c.popup;
      SetWindowSubclass(h, &ContextMenuProcedure, 3, reinterpret_cast<DWORD_PTR>(this));
    }
    if (!control) control = std::make_unique<W32Container>(h);
  }
  controls_.Add(c.name, std::move(control));
  return h;
}

}  // namespace lanvoy
