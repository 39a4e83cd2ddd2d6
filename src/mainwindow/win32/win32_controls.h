// Win32 controls (user32 and comctl32) as the window logic's controls: built from a
// window's layout, each wrapped in the interface of its kind; the window messages they send
// reach their adapter through the top-level window, which also gives every window the
// keyboard interface of a dialog (Tab, Enter for the default button, Esc for the cancel one).
#pragma once

#include "mainwindow/win32/win32_api.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "mainwindow/controls.h"
#include "mainwindow/layout.h"

namespace lanvoy {

// What a window message of a control reaches: the control's adapter.
class Win32Target {
 public:
  virtual ~Win32Target() = default;
  virtual void Command(WORD /*code*/) {}
  virtual LRESULT Notify(NMHDR& /*header*/) { return 0; }
  virtual void Timer() {}
  virtual bool Draw(const DRAWITEMSTRUCT& /*item*/) { return false; }
  // The background brush for WM_CTLCOLOR..., null for the system's.
  virtual HBRUSH Colour(HDC /*dc*/) { return nullptr; }
};

// The window handle behind a control, for what the toolkit does with it (focus, tests).
class Win32WindowOf {
 public:
  virtual ~Win32WindowOf() = default;
  virtual HWND hwnd() const = 0;
};

// A top-level window made from a layout: its caption, font, size and controls; resized, its
// controls follow the borders they are anchored to. Closing it only hides it.
class Win32Window {
 public:
  Win32Window(WindowLayout layout, HWND owner);
  virtual ~Win32Window();
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  HWND Handle() const { return hwnd_; }
  const WindowLayout& Layout() const { return layout_; }
  ControlSet& Controls() { return controls_; }
  // The window of a control or container of the layout; nullptr for none.
  HWND Named(const std::string& name) const;
  HMENU MenuNamed(const std::string& name) const;
  // The command a menu item sends (WM_COMMAND), 0 for none.
  UINT CommandOf(const std::string& name) const;

  // A length of the layout in this screen's pixels (the layout is made for 96 dpi).
  int Scale(int pixels) const;
  void SetClientSize(int width, int height);
  void CentreOver(HWND over);  // kept on the screen that window is on
  void CentreOnScreen();
  // Paints what is due now, and runs what was sent or posted, leaving the user's input for
  // later (the caller blocks the message loop).
  static void PaintNow(HWND window);

  // Modal: the owner disabled until EndModal (a button, Esc, the close box).
  void RunModal();
  void EndModal();
  bool Modal() const { return modal_; }

  // The keyboard interface of the window msg is for; true when it took the message.
  static bool PreTranslate(MSG& msg);
  // The busy cursor over every window of the program.
  static void SetBusy(bool busy);

  // For the adapters.
  UINT NewId() { return nextId_++; }
  void Register(HWND control, Win32Target* target) { byWindow_[control] = target; }
  void RegisterId(UINT id, Win32Target* target) { byId_[id] = target; }
  void Forget(UINT id) { byId_.erase(id); }
  HFONT FontFor(const ControlEntry& c, bool underline = false);
  void SetHint(HWND control, const std::string& hint);
  HWND Tooltip() const { return tooltip_; }

 protected:
  // The window procedure; what it does not handle goes to Default.
  virtual LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
  // The close box; by default the window hides (a modal one ends its loop).
  virtual void CloseBox();
  // Its controls are made in the constructor; a subclass fills them afterwards.
  virtual void Resized(int width, int height);

 public:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void Build();
  HWND Make(const ControlEntry& c, HWND parent);
  // A control with a context menu opens it itself: what its parents pass on names them.
  static LRESULT CALLBACK ContextMenuProcedure(HWND h, UINT message, WPARAM wParam, LPARAM lParam,
                                               UINT_PTR, DWORD_PTR data);
  void PressButtonWith(unsigned style);

  const WindowLayout layout_;
  HWND hwnd_ = nullptr;
  HWND tooltip_ = nullptr;
  ControlSet controls_;
  std::map<std::string, HWND> windows_;
  std::map<std::string, HMENU> menus_;
  std::map<std::string, UINT> commands_;
  std::map<HWND, std::string> popups_;  // a control's context menu
  std::map<HWND, Win32Target*> byWindow_;
  std::map<UINT, Win32Target*> byId_;
  std::map<std::string, HFONT> fonts_;
  std::vector<HWND> linkLabels_;
  UINT nextId_ = 100;
  int dpi_ = 96;
  bool modal_ = false;
};

// Registers the window classes and starts the common controls; once, before any window.
void InitWin32Windows();

}  // namespace lanvoy
