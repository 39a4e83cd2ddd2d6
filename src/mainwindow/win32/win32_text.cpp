#include "mainwindow/win32/win32_text.h"

#include "mainwindow/win32/win32_api.h"

namespace lanvoy {

namespace {

struct CodePages {
  UINT ansi = GetACP(), oem = GetOEMCP();
};

CodePages& Installed() {
  static CodePages pages;
  return pages;
}

std::wstring ToWide(const std::string& text, UINT codePage) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return std::wstring(text.size(), L'?');
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

}  // namespace

void InstallWin32CodePages(platform::System& system) {
  Installed() = {system.AnsiCodePage(), system.OemCodePage()};
}

std::wstring W(const std::string& ansi) {
  return ToWide(ansi, Installed().ansi);
}

std::wstring WFromOem(const std::string& oem) {
  return ToWide(oem, Installed().oem);
}

std::string A(const std::wstring& wide) {
  if (wide.empty()) return {};
  const UINT page = Installed().ansi;
  // No best fit: a character the code page lacks becomes "?", not a look-alike.
  const DWORD flags = page == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(page, flags, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string(wide.size(), '?');
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(page, flags, wide.data(), size, text.data(), length, nullptr, nullptr);
  return text;
}

}  // namespace lanvoy
