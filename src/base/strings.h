// Text helpers with the exact rules the program's formats need (ASCII case folding,
// Windows-style line handling). Strings are 8-bit text; no code page is assumed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lanvoy {

inline constexpr const char* kCRLF = "\r\n";

// Only the letters a..z / A..Z change; other bytes stay as they are.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);

// Removes leading and trailing bytes up to and including the blank (control characters too).
std::string Trim(std::string_view s);

// Replaces every occurrence of from (non-empty) by to, scanning left to right once.
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);

// Cuts text into lines: CR LF, LF or CR end a line; a line end at the very end of the
// text does not start another (empty) line, as a multi-line field's lines behave.
std::vector<std::string> SplitLines(std::string_view text);
// The items of a ";"-joined list, blanks around them trimmed, empty ones left out.
std::vector<std::string> SplitList(std::string_view text);

// Every line followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// The directory part of a path with its trailing separator ('\' or '/'), or "" without one.
std::string ExtractFilePath(std::string_view path);
std::string ExtractFileName(std::string_view path);

}  // namespace lanvoy
