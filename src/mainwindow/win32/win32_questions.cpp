#include "mainwindow/win32/win32_questions.h"

#include <commdlg.h>

#include <algorithm>
#include <utility>

#include "mainwindow/layout.h"
#include "mainwindow/win32/win32_controls.h"
#include "mainwindow/win32/win32_text.h"

namespace lanvoy {

namespace {

// What the box shows, measured in its fonts, laid out by the dialog's rules.
WindowLayout BoxLayout(const MsgDlgBoxPlan& plan) {
  HDC dc = GetDC(nullptr);
  const int height = -MulDiv(11, GetDeviceCaps(dc, LOGPIXELSY), 96);
  HFONT font =
      CreateFontW(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
  HFONT bold =
      CreateFontW(height, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
  auto width = [&](HFONT f, std::wstring text) {
    text.erase(std::remove(text.begin(), text.end(), L'&'), text.end());
    SelectObject(dc, f);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return static_cast<int>(size.cx);
  };
  MsgDlgMetrics m;
  HGDIOBJ old = SelectObject(dc, bold);
  m.lettersWidth = width(bold, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  m.charHeight = metrics.tmHeight;
  for (const MsgDlgButtonInfo& b : plan.row.buttons)
    m.captionWidths.push_back(width(font, W(b.caption)));
  RECT text{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
  SelectObject(dc, bold);
  const std::wstring message = W(plan.message);
  DrawTextW(dc, message.c_str(), -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  m.textWidth = text.right;
  m.textHeight = text.bottom;
  // The caption and the box's mark.
  m.checkBoxWidth = width(bold, W(plan.checkBoxCaption)) + 16;
  m.checkBoxHeight = metrics.tmHeight;
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteObject(bold);
  ReleaseDC(nullptr, dc);
  return MsgDlgBoxLayout(plan, MsgDlgBoxGeometry(plan, m));
}

class Win32MsgDlgBox : public Win32Window, public MsgDlgBox {
 public:
  Win32MsgDlgBox(const MsgDlgBoxPlan& plan, HWND owner)
      : Win32Window(BoxLayout(plan), owner),
        countdown_(plan.showCountdown ? Named("Countdown") : nullptr),
        check_(Named("DontShowAgain")) {
    ConnectMsgDlgButtons(plan, Controls(), [this](int result) { Close(result); });
    cancelResult_ = MsgDlgCancelResult(plan.row);
    if (HWND gauge = Named("Gauge")) {
      SendMessageW(gauge, PBM_SETRANGE32, 0, plan.gaugeMaxValue);
    }
    if (countdown_) {
      const ControlEntry* entry = Layout().Find("Countdown");
      countdownRight_ = Scale(entry->left);
      countdownTop_ = Scale(entry->top);
    }
    if (plan.row.defaultIndex >= 0)
      SetFocus(Named(plan.row.buttons[static_cast<size_t>(plan.row.defaultIndex)].name));
    CentreOnScreen();
  }
  ~Win32MsgDlgBox() override { StopTimer(); }

  void SetMessage(const std::string& text) override {
    SetWindowTextW(Named("Message"), W(text).c_str());
  }
  void SetCountdownText(const std::string& text) override {
    if (!countdown_) return;
    const std::wstring wide = W(text);
    HDC dc = GetDC(countdown_);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(countdown_, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(countdown_, dc);
    SetWindowTextW(countdown_, wide.c_str());
    SetWindowPos(countdown_, nullptr, countdownRight_ - size.cx - 2, countdownTop_, size.cx + 2,
                 size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void StartTimer(int intervalMs, std::function<void()> tick) override {
    tick_ = std::move(tick);
    SetTimer(Handle(), kTimer, static_cast<UINT>(intervalMs), nullptr);
  }
  void StopTimer() override { KillTimer(Handle(), kTimer); }
  void Close(int result) override {
    closedBy_ = result;
    StopTimer();
    if (Modal()) {
      EndModal();
      return;
    }
    ShowWindow(Handle(), SW_HIDE);
    if (auto onClose = std::exchange(onClose_, nullptr)) onClose(result);
  }
  int ShowModal() override {
    closedBy_ = mrCancel;  // the title bar's close box
    RunModal();
    return closedBy_;
  }
  void Show(std::function<void(int)> onClose) override {
    onClose_ = std::move(onClose);
    ShowWindow(Handle(), SW_SHOW);
  }
  bool CheckBoxTicked() const override {
    return check_ && SendMessageW(check_, BM_GETCHECK, 0, 0) == BST_CHECKED;
  }

 protected:
  LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_TIMER && wParam == kTimer) {
      if (tick_) tick_();
      return 0;
    }
    // Esc: the cancel button's result.
    if (message == WM_COMMAND && !lParam && LOWORD(wParam) == IDCANCEL) {
      Close(cancelResult_);
      return 0;
    }
    return Win32Window::Message(message, wParam, lParam);
  }
  void CloseBox() override { Close(mrCancel); }

 private:
  static constexpr UINT_PTR kTimer = 1;
  HWND countdown_;
  HWND check_;
  std::function<void()> tick_;
  std::function<void(int)> onClose_;
  int closedBy_ = mrCancel;
  int cancelResult_ = mrCancel;
  int countdownRight_ = 0, countdownTop_ = 0;
};

MsgDlgBoxPlan PlainBox(const std::string& text, TMsgDlgType type, MsgDlgButtonRow row) {
  MsgDlgBoxPlan plan;
  plan.caption = type == mtCustom ? "Lanvoy" : MsgDlgCaption(type);
  plan.type = type;
  plan.message = text;
  plan.row = std::move(row);
  return plan;
}

std::optional<std::string> FileName(HWND owner, const FileDialogOptions& options, bool save) {
  std::wstring name(MAX_PATH * 4, L'\0');
  const std::wstring filter = Win32FileFilter(options.filter);
  const std::wstring ext = W(options.defaultExt);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = static_cast<DWORD>(name.size());
  dialog.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  if (options.mustExist) dialog.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  if (options.hideReadOnly) dialog.Flags |= OFN_HIDEREADONLY;
  if (options.overwritePrompt) dialog.Flags |= OFN_OVERWRITEPROMPT;
  const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  if (!chosen) return std::nullopt;
  name.resize(wcslen(name.c_str()));
  return A(name);
}

}  // namespace

std::wstring Win32FileFilter(const std::string& filter) {
  std::wstring out;
  for (const std::string& part : SplitItems(filter)) {
    out += W(part);
    out += L'\0';
  }
  out += L'\0';
  return out;
}

int Win32Questions::MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                               std::optional<TMsgDlgBtn> defaultButton) {
  Win32MsgDlgBox box(PlainBox(text, type, MsgDlgButtonsOf(buttons, defaultButton)), owner_);
  return box.ShowModal();
}

bool Win32Questions::Confirm(const std::string& text, TMsgDlgType type, const std::string& yes,
                             const std::string& no) {
  MsgDlgButtonRow row;
  row.buttons = {{mbYes, "Yes", yes.c_str(), mrYes}, {mbNo, "No", no.c_str(), mrNo}};
  row.defaultIndex = row.cancelIndex = 1;
  Win32MsgDlgBox box(PlainBox(text, type, row), owner_);
  return box.ShowModal() == mrYes;
}

std::optional<std::string> Win32Questions::InputBox(const std::string& caption,
                                                    const std::string& prompt,
                                                    const std::string& proposal) {
  class Box : public Win32Window {
   public:
    using Win32Window::Win32Window;
    bool ok = false;
  } box(InputBoxLayout(caption, prompt, proposal), owner_);
  box.Controls().Get<Button>("OK").OnClick = [&] {
    box.ok = true;
    box.EndModal();
  };
  box.Controls().Get<Button>("Cancel").OnClick = [&] { box.EndModal(); };
  if (owner_) box.CentreOver(owner_);
  SendMessageW(box.Named("Value"), EM_SETSEL, 0, -1);
  SetFocus(box.Named("Value"));
  box.RunModal();
  if (!box.ok) return std::nullopt;
  return box.Controls().Get<TextField>("Value").Text();
}

std::optional<std::string> Win32Questions::OpenFileName(const FileDialogOptions& options) {
  return FileName(owner_, options, false);
}

std::optional<std::string> Win32Questions::SaveFileName(const FileDialogOptions& options) {
  return FileName(owner_, options, true);
}

std::unique_ptr<MsgDlgBox> Win32Questions::CreateBox(const MsgDlgBoxPlan& plan) {
  return std::make_unique<Win32MsgDlgBox>(plan, owner_);
}

}  // namespace lanvoy
