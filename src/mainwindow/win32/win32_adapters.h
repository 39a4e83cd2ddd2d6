// The adapters that make Win32 controls the logic's controls, and what they share with the
// window around them (win32_window.cpp). Only the Win32 front-end includes this.
#pragma once

#include <set>
#include <vector>

#include "mainwindow/win32/win32_controls.h"

namespace lanvoy {

inline constexpr wchar_t kWindowClass[] = L"TLanvoyWindow";
inline constexpr wchar_t kPageClass[] = L"TLanvoyPage";

// The windows of the program, for the message loop's keyboard interface.
std::set<HWND>& OurWindows();
// The busy cursor is shown over every window of the program.
bool& Busy();
// Whether the control and every window it sits in are enabled: only then can a user reach it.
bool AncestorsEnabled(HWND h);
// A control inside a disabled tab page is greyed with it and keeps its own state for when the
// page is enabled again, as Qt's widgets do.
bool OwnEnabled(HWND h);
void SetOwnEnabled(HWND h, bool on);
// Greys every window inside a container, or gives them back their own states.
void GreyInside(HWND container, bool greyed);
// Tab pages and panels: the background of buttons, a raised edge for panels.
LRESULT CALLBACK PageProcedure(HWND h, UINT message, WPARAM wParam, LPARAM lParam);
// The system's icon of a message box glyph; nullptr for none.
const wchar_t* MessageIcon(Glyph glyph);

// The tabs and the pages they show; a disabled page's tab cannot be chosen.
class W32TabControl : public Container, public Win32Target, public Win32WindowOf {
 public:
  W32TabControl(Win32Window& window, HWND h) : h_(h) { window.Register(h, this); }
  HWND hwnd() const override { return h_; }
  void AddPage(HWND page) {
    pages_.push_back(page);
    Place();
    Select(TabCtrl_GetCurSel(h_) < 0 ? 0 : TabCtrl_GetCurSel(h_));
  }
  void Select(int index) {
    if (index < 0 || index >= static_cast<int>(pages_.size())) return;
    TabCtrl_SetCurSel(h_, index);
    shown_ = index;
    for (size_t i = 0; i < pages_.size(); ++i)
      ShowWindow(pages_[i], static_cast<int>(i) == index ? SW_SHOW : SW_HIDE);
  }
  // The pages fill the tabs' display area.
  void Place() {
    RECT r;
    GetClientRect(h_, &r);
    TabCtrl_AdjustRect(h_, FALSE, &r);
    for (HWND page : pages_)
      SetWindowPos(page, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // Owner-drawn, so that the tab of a disabled page shows its text greyed.
  bool Draw(const DRAWITEMSTRUCT& item) override {
    wchar_t text[128] = {};
    TCITEMW tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = text;
    tab.cchTextMax = 128;
    SendMessageW(h_, TCM_GETITEMW, item.itemID, reinterpret_cast<LPARAM>(&tab));
    const bool enabled =
        item.itemID < pages_.size() && IsWindowEnabled(pages_[item.itemID]) && IsWindowEnabled(h_);
    RECT r = item.rcItem;
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    DrawTextW(item.hDC, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return true;
  }
  LRESULT Notify(NMHDR& header) override {
    if (header.code == TCN_SELCHANGE) {
      const int chosen = TabCtrl_GetCurSel(h_);
      if (chosen >= 0 && IsWindowEnabled(pages_[static_cast<size_t>(chosen)]))
        Select(chosen);
      else
        TabCtrl_SetCurSel(h_, shown_);
    }
    return 0;
  }

 private:
  HWND h_;
  std::vector<HWND> pages_;
  int shown_ = 0;
};

}  // namespace lanvoy
