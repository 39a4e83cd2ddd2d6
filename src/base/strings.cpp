#include "base/strings.h"

namespace lanvoy {

namespace {
char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
bool IsTrimmed(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}
std::string::size_type LastSeparator(std::string_view path) {
  return path.find_last_of("\\/");
}
}  // namespace

std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = Upper(c);
  return r;
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = Lower(c);
  return r;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

std::string Trim(std::string_view s) {
  std::size_t begin = 0, end = s.size();
  while (begin < end && IsTrimmed(s[begin])) ++begin;
  while (end > begin && IsTrimmed(s[end - 1])) --end;
  return std::string(s.substr(begin, end - begin));
}

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  std::string r;
  std::size_t pos = 0;
  for (;;) {
    std::size_t at = s.find(from, pos);
    if (at == std::string_view::npos) break;
    r.append(s.substr(pos, at - pos)).append(to);
    pos = at + from.size();
  }
  r.append(s.substr(pos));
  return r;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0, i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = ++i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string r;
  for (const auto& line : lines) r.append(line).append(kCRLF);
  return r;
}

std::string ExtractFilePath(std::string_view path) {
  auto at = LastSeparator(path);
  return at == std::string_view::npos ? std::string() : std::string(path.substr(0, at + 1));
}

std::string ExtractFileName(std::string_view path) {
  auto at = LastSeparator(path);
  return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

}  // namespace lanvoy

namespace lanvoy {

std::vector<std::string> SplitList(std::string_view text) {
  std::vector<std::string> items;
  while (true) {
    const size_t end = std::min(text.find(';'), text.size());
    if (std::string item = Trim(text.substr(0, end)); !item.empty()) items.push_back(item);
    if (end == text.size()) return items;
    text.remove_prefix(end + 1);
  }
}

}  // namespace lanvoy
