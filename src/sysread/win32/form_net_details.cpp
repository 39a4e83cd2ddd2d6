#include "sysread/win32/form_net_details.h"

#include "mainwindow/win32/win32_text.h"

namespace lanvoy {

TFormNetDetails::TFormNetDetails(HWND owner)
    : Win32Window(NetDetailsFormLayout(), owner), memo_(Named("Memo")) {
  // Esc presses OK, which closes the window.
  Controls().Get<Button>("Button1").OnClick = [this] { EndModal(); };
  CentreOnScreen();
}

// The report is console output, in the OEM code page.
void TFormNetDetails::SetText(const std::string& text) {
  SetWindowTextW(memo_, WFromOem(text).c_str());
}

void TFormNetDetails::AppendLine(const std::string& line) {
  const int end = GetWindowTextLengthW(memo_);
  SendMessageW(memo_, EM_SETSEL, end, end);
  const std::wstring text = WFromOem(line) + L"\r\n";
  SendMessageW(memo_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TFormNetDetails::ReplaceLastLine(const std::string& line) {
  // The text ends with a line break: the last line is the one before it.
  const int lines = static_cast<int>(SendMessageW(memo_, EM_GETLINECOUNT, 0, 0));
  const int last = lines >= 2 ? lines - 2 : 0;
  const int start = static_cast<int>(SendMessageW(memo_, EM_LINEINDEX, last, 0));
  const int length = static_cast<int>(SendMessageW(memo_, EM_LINELENGTH, start, 0));
  SendMessageW(memo_, EM_SETSEL, start, start + length);
  const std::wstring text = WFromOem(line);
  SendMessageW(memo_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace lanvoy
