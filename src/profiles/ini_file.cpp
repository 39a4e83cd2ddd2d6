#include "profiles/ini_file.h"

#include <limits>
#include <optional>
#include <string_view>

#include "base/files.h"
#include "base/strings.h"

namespace lanvoy {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsSpace(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view TrimView(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

struct Line {
  enum Kind { kOther, kSection, kKey };
  std::string_view raw;    // the line as it stands, without its line end
  Kind kind = kOther;
  std::string_view name;   // section or key name
  std::string_view value;  // a key's trimmed value
  // A line of a name without "=" is a key without a value, as Windows takes it: it is not
  // listed and reads as missing, yet it hides later lines of that key and a write fills it.
  bool hasValue = false;
};

// One parse of the file; views point into bytes.
struct Document {
  std::string bytes;
  bool bom = false;
  std::vector<Line> lines;

  explicit Document(const std::string& path) {
    bytes = ReadFileBytes(path).value_or(std::string());
    std::string_view text(bytes);
    if (text.substr(0, kBom.size()) == kBom) {
      bom = true;
      text.remove_prefix(kBom.size());
    }
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
      std::string_view raw = text.substr(start, (end == std::string_view::npos ? text.size() : end) - start);
      if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
      lines.push_back(Classify(raw));
      start = next;
    }
  }

  static Line Classify(std::string_view raw) {
    Line line;
    line.raw = raw;
    std::string_view s = TrimView(raw);
    if (s.empty() || s.front() == ';') return line;
    if (s.front() == '[') {
      auto close = s.rfind(']');
      if (close != std::string_view::npos) {
        line.kind = Line::kSection;
        line.name = s.substr(1, close - 1);
        return line;
      }
    }
    auto eq = s.find('=');
    if (eq == std::string_view::npos) {
      line.kind = Line::kKey;
      line.name = s;
      return line;
    }
    std::string_view name = TrimView(s.substr(0, eq));
    if (name.empty()) return line;
    line.kind = Line::kKey;
    line.name = name;
    line.value = TrimView(s.substr(eq + 1));
    line.hasValue = true;
    return line;
  }

  // Index of the first header of that section, or npos.
  std::size_t FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (lines[i].kind == Line::kSection && SameText(lines[i].name, section)) return i;
    return npos;
  }

  // One past the last line of the section that starts at header.
  std::size_t SectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines.size() && lines[i].kind != Line::kSection) ++i;
    return i;
  }

  std::size_t FindKey(std::size_t header, std::string_view key) const {
    std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i)
      if (lines[i].kind == Line::kKey && SameText(lines[i].name, key)) return i;
    return npos;
  }

  std::optional<std::string_view> Value(std::string_view section, std::string_view key) const {
    std::size_t header = FindSection(section);
    if (header == npos) return std::nullopt;
    std::size_t at = FindKey(header, key);
    if (at == npos || !lines[at].hasValue) return std::nullopt;
    return lines[at].value;
  }

  static constexpr std::size_t npos = std::numeric_limits<std::size_t>::max();
};

// Builds the new file from the old lines with edits, always with CR LF line ends.
class Writer {
 public:
  explicit Writer(const Document& doc) {
    out_.reserve(doc.bytes.size() + 256);
    if (doc.bom) out_.append(kBom);
  }
  void Add(std::string_view line) { out_.append(line).append("\r\n"); }
  void AddKey(std::string_view key, std::string_view value) {
    out_.append(key).append("=").append(value).append("\r\n");
  }
  void AddLines(const Document& doc, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) Add(doc.lines[i].raw);
  }
  const std::string& str() const { return out_; }

  // Starts a new section; a blank line separates it from what stands before.
  void OpenSection(std::string_view section) {
    std::string_view body(out_);
    if (body.substr(0, kBom.size()) == kBom) body.remove_prefix(kBom.size());
    if (!body.empty() && !(body.size() >= 4 && body.substr(body.size() - 4) == "\r\n\r\n") &&
        body != "\r\n")
      Add("");
    out_.append("[").append(section).append("]\r\n");
  }

 private:
  std::string out_;
};

// Where a new key of the section goes: after its last line that is not blank.
std::size_t InsertionPoint(const Document& doc, std::size_t header) {
  std::size_t end = doc.SectionEnd(header);
  while (end > header + 1 && TrimView(doc.lines[end - 1].raw).empty()) --end;
  return end;
}

void CheckSection(const std::string& section) {
  if (!IniFile::IsValidSectionName(section))
    throw EIniFileError("\"" + section +
                        "\" cannot be used as a name: it must not be empty or contain \"[\", "
                        "\"]\" or a line break.");
}

void CheckKey(const std::string& key) {
  std::string_view trimmed = TrimView(key);
  if (trimmed.empty() || trimmed.size() != key.size() || key.find('=') != std::string::npos ||
      HasLineBreak(key) || key.front() == '[' || key.front() == ';')
    throw EIniFileError("\"" + key + "\" cannot be used as a key name.");
}

void CheckValue(const std::string& key, const std::string& value) {
  if (HasLineBreak(value))
    throw EIniFileError("The value of \"" + key +
                        "\" contains a line break, which the file cannot hold; it was not "
                        "written.");
}

std::optional<int32_t> ParseInteger(std::string_view s) {
  // Blanks before the number are skipped, as the toolkit's number reading does.
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  if (s.empty()) return std::nullopt;
  bool negative = false;
  if (s.front() == '-' || s.front() == '+') {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (!s.empty() && s.front() == '$') {
    base = 16;
    s.remove_prefix(1);
  } else if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : s) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return std::nullopt;
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  if (base == 10) {
    // Decimal text must fit a signed 32-bit number.
    if (value > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return std::nullopt;
    int64_t v = negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
    return static_cast<int32_t>(v);
  }
  // Hexadecimal covers all 32 bits ($FFFFFFFF is -1).
  uint32_t bits = static_cast<uint32_t>(value);
  if (negative) bits = 0u - bits;
  return static_cast<int32_t>(bits);
}

std::string StripQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '\'' || value.front() == '"') &&
      value.back() == value.front())
    return std::string(value.substr(1, value.size() - 2));
  return std::string(value);
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

bool IniFile::IsValidSectionName(const std::string& name) {
  return !name.empty() && name.find_first_of("[]\r\n") == std::string::npos;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& def) const {
  Document doc(path_);
  auto value = doc.Value(section, key);
  return value ? StripQuotes(*value) : def;
}

int32_t IniFile::ReadInteger(const std::string& section, const std::string& key,
                             int32_t def) const {
  Document doc(path_);
  auto value = doc.Value(section, key);
  if (!value) return def;
  return ParseInteger(StripQuotes(*value)).value_or(def);
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
  CheckSection(section);
  CheckKey(key);
  CheckValue(key, value);
  Document doc(path_);
  Writer w(doc);
  std::size_t header = doc.FindSection(section);
  if (header == Document::npos) {
    w.AddLines(doc, 0, doc.lines.size());
    w.OpenSection(section);
    w.AddKey(key, value);
  } else {
    std::size_t at = doc.FindKey(header, key);
    if (at != Document::npos) {
      // The line keeps the key's spelling as it stands in the file.
      w.AddLines(doc, 0, at);
      w.AddKey(doc.lines[at].name, value);
      w.AddLines(doc, at + 1, doc.lines.size());
    } else {
      std::size_t insert = InsertionPoint(doc, header);
      w.AddLines(doc, 0, insert);
      w.AddKey(key, value);
      w.AddLines(doc, insert, doc.lines.size());
    }
  }
  if (!WriteFileAtomic(path_, w.str()))
    throw EIniFileError(FormatMessage("Unable to write to %s", path_));
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::vector<std::string> IniFile::ReadSections() const {
  Document doc(path_);
  std::vector<std::string> names;
  for (const Line& line : doc.lines)
    if (line.kind == Line::kSection) names.emplace_back(line.name);
  return names;
}

std::vector<std::string> IniFile::ReadSection(const std::string& section) const {
  std::vector<std::string> keys;
  for (auto& entry : ReadSectionValues(section)) keys.push_back(std::move(entry.first));
  return keys;
}

IniFile::Entries IniFile::ReadSectionValues(const std::string& section) const {
  Document doc(path_);
  Entries entries;
  std::size_t header = doc.FindSection(section);
  if (header == Document::npos) return entries;
  std::size_t end = doc.SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    const Line& line = doc.lines[i];
    if (line.kind != Line::kKey || !line.hasValue) continue;
    // A repeated key is listed once; its first line is the one that is read.
    bool seen = false;
    for (const auto& e : entries)
      if (SameText(e.first, line.name)) seen = true;
    if (seen) continue;
    const Line& first = doc.lines[doc.FindKey(header, line.name)];
    entries.emplace_back(std::string(line.name),
                         first.hasValue ? StripQuotes(first.value) : std::string());
  }
  return entries;
}

bool IniFile::SectionExists(const std::string& section) const {
  Document doc(path_);
  std::size_t header = doc.FindSection(section);
  if (header == Document::npos) return false;
  std::size_t end = doc.SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i)
    if (doc.lines[i].kind == Line::kKey && doc.lines[i].hasValue) return true;
  return false;
}

bool IniFile::ValueExists(const std::string& section, const std::string& key) const {
  Document doc(path_);
  return doc.Value(section, key).has_value();
}

void IniFile::EraseSection(const std::string& section) {
  Document doc(path_);
  std::size_t header = doc.FindSection(section);
  if (header == Document::npos) return;
  std::size_t end = doc.SectionEnd(header);
  Writer w(doc);
  w.AddLines(doc, 0, header);
  w.AddLines(doc, end, doc.lines.size());
  if (!WriteFileAtomic(path_, w.str()))
    throw EIniFileError(FormatMessage("Unable to write to %s", path_));
}

void IniFile::DeleteKey(const std::string& section, const std::string& key) {
  Document doc(path_);
  // As Windows does, a key that the first header of a repeated section lacks is deleted
  // from the next header of that name that has it.
  std::size_t at = Document::npos;
  for (std::size_t i = 0; i < doc.lines.size() && at == Document::npos; ++i)
    if (doc.lines[i].kind == Line::kSection && SameText(doc.lines[i].name, section))
      at = doc.FindKey(i, key);
  if (at == Document::npos) return;
  Writer w(doc);
  w.AddLines(doc, 0, at);
  w.AddLines(doc, at + 1, doc.lines.size());
  if (!WriteFileAtomic(path_, w.str()))
    throw EIniFileError(FormatMessage("Unable to write to %s", path_));
}

void IniFile::ReplaceSection(const std::string& section, const Entries& entries) {
  CheckSection(section);
  for (const auto& [key, value] : entries) {
    CheckKey(key);
    CheckValue(key, value);
  }
  Document doc(path_);
  Writer w(doc);
  std::size_t header = doc.FindSection(section);
  if (header == Document::npos) {
    w.AddLines(doc, 0, doc.lines.size());
  } else {
    std::size_t end = doc.SectionEnd(header);
    w.AddLines(doc, 0, header);
    w.AddLines(doc, end, doc.lines.size());
  }
  // Erasing then writing puts the section at the end of the file, as separate writes would.
  w.OpenSection(section);
  std::vector<std::string_view> written;
  for (const auto& [key, value] : entries) {
    // A key given twice keeps its first place and its last value, as repeated writes do.
    bool replaced = false;
    for (auto& name : written)
      if (SameText(name, key)) replaced = true;
    if (replaced) continue;
    written.push_back(key);
    const std::string* last = &value;
    for (const auto& [k2, v2] : entries)
      if (SameText(k2, key)) last = &v2;
    w.AddKey(key, *last);
  }
  if (!WriteFileAtomic(path_, w.str()))
    throw EIniFileError(FormatMessage("Unable to write to %s", path_));
}

}  // namespace lanvoy
