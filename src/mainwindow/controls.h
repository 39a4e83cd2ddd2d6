// The controls of Lanvoy's windows as the window's logic sees them, one small interface per
// kind. A toolkit (Qt, Win32, or a recording one in tests) implements them over its own
// widgets; the logic reads and sets them and hangs its handlers on their events.
//
// Text is 8-bit text in the ANSI code page, lines joined by CR LF; a toolkit converts it.
// Every event runs after the state has changed. Setting a check box, a radio group or a
// list's selection from code raises the same change event as the user's click (OnClick);
// the events that only the user raises say so.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lanvoy {

// Anything a window's layout names.
class Widget {
 public:
  virtual ~Widget() = default;
};

// A windowed control. Enabled is the control's own property: a disabled parent does not
// change it.
class Control : public Widget {
 public:
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool on) = 0;
  // false when the control cannot take the focus.
  virtual bool SetFocus() = 0;
};

// A group box, panel or tab control: it holds others and does nothing itself.
class Container : public Widget {};

class Label : public Widget {
 public:
  virtual void SetCaption(const std::string& text) = 0;
  std::function<void()> OnClick;  // the user clicked it (link labels)
};

class Button : public Control {
 public:
  std::function<void()> OnClick;  // by the user only
};

class CheckBox : public Control {
 public:
  virtual bool Checked() const = 0;
  virtual void SetChecked(bool on) = 0;
  std::function<void()> OnClick;  // each change of state, by the user or by SetChecked
};

class RadioGroup : public Control {
 public:
  virtual int ItemIndex() const = 0;  // -1: no item selected
  virtual void SetItemIndex(int index) = 0;
  std::function<void()> OnClick;  // each change of the selection, also by SetItemIndex
};

class TextField : public Control {
 public:
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
  // Tints the field while its text is no valid value; the logic says when.
  virtual void SetInvalid(bool on) = 0;
  // A character typed by the user; true discards it.
  std::function<bool(char key)> OnKeyPress;
  std::function<void()> OnEnter;   // the field received the focus
  std::function<void()> OnChange;  // each change of the text, by the user or by SetText
};

class Memo : public Control {
 public:
  virtual std::string Text() const = 0;  // the lines joined by CR LF
  virtual void SetText(const std::string& text) = 0;
  virtual bool ReadOnly() const = 0;
  virtual void SetReadOnly(bool on) = 0;
};

// An editable combo box: its text may be typed, or an item chosen from its list.
class ComboBox : public Control {
 public:
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;  // selects no item
  virtual int Count() const = 0;
  virtual void Clear() = 0;  // removes the items and empties the text
  virtual void AddItem(const std::string& item) = 0;
  virtual int ItemIndex() const = 0;         // -1: the text is no item
  virtual void SetItemIndex(int index) = 0;  // shows that item's text; -1 keeps the text
  // The user chose an item from the list (typing chooses none).
  std::function<void(int index)> OnSelect;
};

class ListBox : public Control {
 public:
  virtual int Count() const = 0;
  virtual std::string Item(int index) const = 0;
  virtual void SetItems(const std::vector<std::string>& items) = 0;  // selects none
  virtual int ItemIndex() const = 0;         // the selected entry, -1 for none
  virtual void SetItemIndex(int index) = 0;  // raises no event
  std::function<void()> OnClick;             // the user changed the selection (mouse or keyboard)
  std::function<void()> OnDblClick;          // the user double-clicked the list
  std::function<bool(char key)> OnKeyPress;  // true discards the character
};

// A grid of text cells below a fixed header row; data rows count from 0.
class Grid : public Control {
 public:
  virtual int RowCount() const = 0;
  virtual void SetRowCount(int rows) = 0;  // new rows are empty
  virtual std::string Cell(int row, int column) const = 0;
  virtual void SetCell(int row, int column, const std::string& text) = 0;
  virtual void InsertRow(int at) = 0;
  virtual void DeleteRow(int row) = 0;
  virtual int CurrentRow() const = 0;  // -1 for none
  virtual void SetCurrentCell(int row, int column) = 0;
};

// One page of a tab control; disabled, its tab cannot be chosen.
class TabPage : public Control {
 public:
  virtual void Activate() = 0;  // its tab control shows it
};

class MenuItem : public Widget {
 public:
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool on) = 0;
  std::function<void()> OnClick;
};

// A menu item whose submenu is filled at run time.
class SubMenu : public Widget {
 public:
  virtual void Clear() = 0;
  // An item captioned exactly so (no accelerator is made of "&").
  virtual void Add(const std::string& caption, std::function<void()> onClick) = 0;
  virtual std::vector<std::string> Captions() const = 0;
};

class PopupMenu : public Widget {
 public:
  virtual void Popup(int x, int y) = 0;  // at a point on the screen
};

class ProgressBar : public Widget {
 public:
  virtual void SetRange(int minimum, int maximum) = 0;
  virtual void SetPosition(int position) = 0;
};

class Timer : public Widget {
 public:
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool on) = 0;  // on: it fires after its interval, and again
  std::function<void()> OnTimer;
};

class EControlMissing : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

// The named controls of one window, as a toolkit built them from its layout.
class ControlSet {
 public:
  void Add(const std::string& name, std::unique_ptr<Widget> widget);
  Widget* Find(std::string_view name) const;
  // The control of that name and kind; EControlMissing when there is none.
  template <class T>
  T& Get(std::string_view name) const {
    T* control = dynamic_cast<T*>(Find(name));
    if (!control) throw EControlMissing("the window has no control " + std::string(name));
    return *control;
  }

 private:
  std::map<std::string, std::unique_ptr<Widget>, std::less<>> widgets_;
};

}  // namespace lanvoy
