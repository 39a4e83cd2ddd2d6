// The questions answered by Win32 windows: the message boxes (the message dialog's box, laid
// out by its rules), the input box, the system's file dialogs.
#pragma once

#include "mainwindow/win32/win32_api.h"

#include "mainwindow/questions.h"

namespace lanvoy {

class Win32Questions : public Questions {
 public:
  explicit Win32Questions(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }

  int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                 std::optional<TMsgDlgBtn> defaultButton = std::nullopt) override;
  bool Confirm(const std::string& text, TMsgDlgType type, const std::string& yes,
               const std::string& no) override;
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& proposal) override;
  std::optional<std::string> OpenFileName(const FileDialogOptions& options) override;
  std::optional<std::string> SaveFileName(const FileDialogOptions& options) override;
  std::unique_ptr<MsgDlgBox> CreateBox(const MsgDlgBoxPlan& plan) override;

 private:
  HWND owner_;
};

// "Desc|pattern|Desc|pattern" as the file dialogs' filter: parts ended by NUL, then one more.
std::wstring Win32FileFilter(const std::string& filter);

}  // namespace lanvoy
