#include "profiles/ini_file.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <limits>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "base/files.h"
#include "base/strings.h"

namespace lanvoy {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsSpace(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

std::string_view TrimView(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

bool HasLineBreak(std::string_view s) {
  return s.find_first_of("\r\n") != std::string_view::npos;
}

struct Line {
  enum Kind { kOther, kSection, kKey };
  std::string_view raw;  // the line as it stands, without its line end
  Kind kind = kOther;
  std::string_view name;   // section or key name
  std::string_view value;  // a key's trimmed value
  // A name without "=" is a key without a value, as Windows takes it: it reads as missing
  // and is not listed, yet it hides later lines of that key, and a write fills it in place.
  bool hasValue = false;
};

// Calls f(raw line without its line end) for each line; f returns false to stop.
template <class F>
void ForEachLine(std::string_view text, F f) {
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    const char* nl =
        static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    const char* stop = nl ? nl : end;
    std::string_view raw(p, static_cast<std::size_t>(stop - p));
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    if (!f(raw)) return;
    p = nl ? nl + 1 : end;
  }
}

// A header's first character that is not blank is "["; other lines need no closer look
// to be told from headers.
bool MayBeHeader(std::string_view raw) {
  for (char c : raw) {
    if (c == '[') return true;
    if (!IsSpace(c)) return false;
  }
  return false;
}

// One parse of the file; views point into bytes.
struct Document {
  std::string bytes;
  bool bom = false;
  std::vector<Line> lines;

  explicit Document(const std::string& path) : bytes(ReadFileBytes(path).value_or(std::string())) {
    std::string_view text(bytes);
    if (text.substr(0, kBom.size()) == kBom) {
      bom = true;
      text.remove_prefix(kBom.size());
    }
    lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    // Only headers are classified here; key lines are looked at when a section is searched.
    ForEachLine(text, [&](std::string_view raw) {
      lines.push_back(MayBeHeader(raw) ? Classify(raw) : Line{raw, Line::kOther, {}, {}});
      return true;
    });
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

  // Every header of that section: a name given twice is one section, read from its first.
  std::vector<std::size_t> FindSections(std::string_view section) const {
    std::vector<std::size_t> headers;
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (lines[i].kind == Line::kSection && SameText(lines[i].name, section)) headers.push_back(i);
    return headers;
  }

  // One past the last line of the section that starts at header.
  std::size_t SectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines.size() && lines[i].kind != Line::kSection) ++i;
    return i;
  }

  std::size_t FindKey(std::size_t header, std::string_view key) const {
    std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
      Line line = Classify(lines[i].raw);
      if (line.kind == Line::kKey && SameText(line.name, key)) return i;
    }
    return npos;
  }

  static constexpr std::size_t npos = std::numeric_limits<std::size_t>::max();
};

// A file as the reads see it: its bytes and where each section's lines stand. Built once
// per version of the file and kept (see ParsedFiles), so a run of reads costs one parse.
class Parsed {
 public:
  Parsed(const Parsed&) = delete;
  Parsed& operator=(const Parsed&) = delete;
  explicit Parsed(std::string bytes) : bytes_(std::move(bytes)) {
    text_ = bytes_;
    if (text_.substr(0, kBom.size()) == kBom) text_.remove_prefix(kBom.size());
    std::size_t offset = 0;
    ForEachLine(text_, [&](std::string_view raw) {
      const std::size_t next = static_cast<std::size_t>(raw.data() - text_.data()) + raw.size();
      // The line end: CR LF, LF or nothing at the end of the text.
      std::size_t after = next;
      if (after < text_.size() && text_[after] == '\r') ++after;
      if (after < text_.size() && text_[after] == '\n') ++after;
      if (MayBeHeader(raw)) {
        Line line = Document::Classify(raw);
        if (line.kind == Line::kSection) {
          if (!headers_.empty()) headers_.back().bodyEnd = offset;
          headers_.push_back({line.name, after, text_.size()});
        }
      }
      offset = after;
      return true;
    });
    // Sized once: growing it header by header rehashes a store of many profiles again and
    // again.
    first_.reserve(headers_.size());
    for (std::size_t i = 0; i < headers_.size(); ++i) first_.try_emplace(headers_[i].name, i);
  }

  const std::string& Bytes() const { return bytes_; }

  std::vector<std::string> Sections() const {
    std::vector<std::string> names;
    names.reserve(headers_.size());
    for (const Header& h : headers_) names.emplace_back(h.name);
    return names;
  }

  // Calls f(line) for each key line of the first section of that name, in file order;
  // f returns false to stop. False when there is no such section.
  template <class F>
  bool Keys(std::string_view section, F f) const {
    auto it = first_.find(section);
    if (it == first_.end()) return false;
    const Header& h = headers_[it->second];
    ForEachLine(text_.substr(h.bodyBegin, h.bodyEnd - h.bodyBegin), [&](std::string_view raw) {
      Line line = Document::Classify(raw);
      return line.kind != Line::kKey || f(line);
    });
    return true;
  }

  std::optional<std::string_view> Value(std::string_view section, std::string_view key) const {
    std::optional<std::string_view> value;
    Keys(section, [&](const Line& line) {
      if (!SameText(line.name, key)) return true;
      if (line.hasValue) value = line.value;
      return false;
    });
    return value;
  }

 private:
  struct Header {
    std::string_view name;
    std::size_t bodyBegin, bodyEnd;  // offsets in text_ of the lines below the header
  };
  std::string bytes_;
  std::string_view text_;
  std::vector<Header> headers_;
  // Names compare as SameText does (a..z as A..Z); the keys are views into bytes_.
  struct NameHash {
    std::size_t operator()(std::string_view name) const {
      std::size_t h = 14695981039346656037ull;
      for (char c : name)
        h = (h ^ static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 32 : c)) * 1099511628211ull;
      return h;
    }
  };
  struct NameEqual {
    bool operator()(std::string_view a, std::string_view b) const { return SameText(a, b); }
  };
  std::unordered_map<std::string_view, std::size_t, NameHash, NameEqual>
      first_;  // name: its first header
};

// The files read last, each kept while its size and modification time stay as they were;
// a write of this process drops its file. Modification times tick coarsely (a jiffy on
// Linux, two seconds on FAT), so another program's change of the same length could carry
// the same time: a file changed in the last seconds is read again and compared.
class ParsedFiles {
 public:
  std::shared_ptr<const Parsed> Get(const std::string& path) {
    const auto now = std::filesystem::file_time_type::clock::now();
    std::optional<Stamp> stamp = StampOf(path);
    std::shared_ptr<const Parsed> kept;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      for (auto it = kept_.begin(); it != kept_.end(); ++it)
        if (it->path == path) {
          if (stamp && it->stamp == *stamp) {
            if (stamp->time + kSettled < now) return it->parsed;
            kept = it->parsed;
          }
          break;
        }
    }
    std::string bytes = ReadFileBytes(path).value_or(std::string());
    if (kept && kept->Bytes() == bytes) return kept;
    auto parsed = std::make_shared<const Parsed>(std::move(bytes));
    // Read after the stamp was taken: a change in between shows as a new stamp next time,
    // or, within the clock's granularity, as other bytes.
    std::lock_guard<std::mutex> lock(mutex_);
    kept_.remove_if([&](const Entry& e) { return e.path == path; });
    if (stamp) {
      if (kept_.size() == kKept) kept_.pop_back();
      kept_.push_front({path, *stamp, parsed});
    }
    return parsed;
  }
  void Drop(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    kept_.remove_if([&](const Entry& e) { return e.path == path; });
  }

 private:
  struct Stamp {
    std::uintmax_t size;
    std::filesystem::file_time_type time;
    bool operator==(const Stamp&) const = default;
  };
  static std::optional<Stamp> StampOf(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path p(path);
    const auto time = std::filesystem::last_write_time(p, ec);
    if (ec) return std::nullopt;
    const auto size = std::filesystem::file_size(p, ec);
    if (ec) return std::nullopt;
    return Stamp{size, time};
  }
  struct Entry {
    std::string path;
    Stamp stamp;
    std::shared_ptr<const Parsed> parsed;
  };
  static constexpr std::size_t kKept = 4;
  static constexpr std::chrono::seconds kSettled{3};
  std::mutex mutex_;
  std::list<Entry> kept_;
};

ParsedFiles& Files() {
  static ParsedFiles files;
  return files;
}

// Builds the new file from the old lines with edits, always with CR LF line ends.
class Writer {
 public:
  explicit Writer(const Document& doc) : old_(doc.bytes) {
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
  bool Unchanged() const { return out_ == old_; }

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
  std::string_view old_;
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
  // Blanks before the number are skipped, as Windows' number reading does.
  while (!s.empty() && (s.front() == ' ' || (s.front() >= '\t' && s.front() <= '\r')))
    s.remove_prefix(1);
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
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return std::nullopt;
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

// A key given twice keeps its first place and its last value, as repeated writes do.
IniFile::Entries Collapse(const IniFile::Entries& entries) {
  IniFile::Entries out;
  for (const auto& [key, value] : entries) {
    bool seen = false;
    for (auto& e : out)
      if (SameText(e.first, key)) {
        e.second = value;
        seen = true;
        break;
      }
    if (!seen) out.emplace_back(key, value);
  }
  return out;
}

void CheckEntries(const std::string& section, const IniFile::Entries& entries) {
  CheckSection(section);
  for (const auto& [key, value] : entries) {
    CheckKey(key);
    CheckValue(key, value);
  }
}

// The lines of the file without every section of that name.
void AddLinesWithoutSection(Writer& w, const Document& doc, std::string_view section) {
  std::size_t from = 0;
  for (std::size_t header : doc.FindSections(section)) {
    w.AddLines(doc, from, header);
    from = doc.SectionEnd(header);
  }
  w.AddLines(doc, from, doc.lines.size());
}

void Commit(const std::string& path, const Writer& w) {
  // A write that changes nothing is left out: the options are written key by key, most
  // often with the values they had.
  if (w.Unchanged()) return;
  Files().Drop(path);
  const bool written = WriteFileAtomic(path, w.str());
  Files().Drop(path);
  if (!written) throw EIniFileError(FormatMessage("Unable to write to %s", path));
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

bool IniFile::IsValidSectionName(const std::string& name) {
  return !name.empty() && name.find_first_of("[]\r\n") == std::string::npos;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& def) const {
  const auto file = Files().Get(path_);  // the value views its bytes
  auto value = file->Value(section, key);
  return value ? StripQuotes(*value) : def;
}

int32_t IniFile::ReadInteger(const std::string& section, const std::string& key,
                             int32_t def) const {
  const auto file = Files().Get(path_);  // the value views its bytes
  auto value = file->Value(section, key);
  if (!value) return def;
  return ParseInteger(StripQuotes(*value)).value_or(def);
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
  WriteStrings(section, {{key, value}});
}

void IniFile::WriteStrings(const std::string& section, const Entries& entries) {
  CheckEntries(section, entries);
  const Entries keys = Collapse(entries);
  Document doc(path_);
  Writer w(doc);
  std::size_t header = doc.FindSection(section);
  if (header == Document::npos) {
    w.AddLines(doc, 0, doc.lines.size());
    w.OpenSection(section);
    for (const auto& [key, value] : keys) w.AddKey(key, value);
    Commit(path_, w);
    return;
  }
  // Keys that stand in the section replace their (first) line; the others follow its last
  // line that is not blank.
  std::vector<const std::string*> replacement(doc.lines.size(), nullptr);
  std::vector<const IniFile::Entries::value_type*> added;
  for (const auto& entry : keys) {
    std::size_t at = doc.FindKey(header, entry.first);
    if (at != Document::npos)
      replacement[at] = &entry.second;
    else
      added.push_back(&entry);
  }
  const std::size_t insert = InsertionPoint(doc, header);
  auto copy = [&](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
      // A replaced line keeps the key's spelling as it stands in the file.
      if (replacement[i])
        w.AddKey(Document::Classify(doc.lines[i].raw).name, *replacement[i]);
      else
        w.Add(doc.lines[i].raw);
    }
  };
  copy(0, insert);
  for (const auto* entry : added) w.AddKey(entry->first, entry->second);
  copy(insert, doc.lines.size());
  Commit(path_, w);
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::vector<std::string> IniFile::ReadSections() const {
  return Files().Get(path_)->Sections();
}

std::vector<std::string> IniFile::ReadSection(const std::string& section) const {
  std::vector<std::string> keys;
  for (auto& entry : ReadSectionValues(section)) keys.push_back(std::move(entry.first));
  return keys;
}

IniFile::Entries IniFile::ReadSectionValues(const std::string& section) const {
  Entries entries;
  // The first line of each key name, which is the one that is read.
  std::vector<Line> firsts;
  Files().Get(path_)->Keys(section, [&](const Line& line) {
    const Line* first = nullptr;
    for (const auto& f : firsts)
      if (SameText(f.name, line.name)) first = &f;
    if (!first) first = &firsts.emplace_back(line);
    // A key is listed once, at its first line that has a value; a line without one reads
    // as missing, so the key lists with an empty value.
    if (!line.hasValue) return true;
    for (const auto& e : entries)
      if (SameText(e.first, line.name)) return true;
    entries.emplace_back(std::string(line.name),
                         first->hasValue ? StripQuotes(first->value) : std::string());
    return true;
  });
  return entries;
}

bool IniFile::SectionExists(const std::string& section) const {
  bool any = false;
  Files().Get(path_)->Keys(section, [&](const Line& line) {
    any = line.hasValue;
    return !any;
  });
  return any;
}

bool IniFile::ValueExists(const std::string& section, const std::string& key) const {
  return Files().Get(path_)->Value(section, key).has_value();
}

void IniFile::EraseSection(const std::string& section) {
  Document doc(path_);
  if (doc.FindSection(section) == Document::npos) return;
  Writer w(doc);
  AddLinesWithoutSection(w, doc, section);
  Commit(path_, w);
}

void IniFile::DeleteKey(const std::string& section, const std::string& key) {
  Document doc(path_);
  // As Windows does, a key that the first of repeated headers lacks is deleted from the next
  // header of that name that has it.
  std::size_t at = Document::npos;
  for (std::size_t header : doc.FindSections(section))
    if ((at = doc.FindKey(header, key)) != Document::npos) break;
  if (at == Document::npos) return;
  Writer w(doc);
  w.AddLines(doc, 0, at);
  w.AddLines(doc, at + 1, doc.lines.size());
  Commit(path_, w);
}

void IniFile::ReplaceSection(const std::string& section, const Entries& entries) {
  ReplaceSections({{section, entries}});
}

void IniFile::ReplaceSections(const std::vector<std::pair<std::string, Entries>>& sections) {
  for (const auto& [section, entries] : sections) CheckEntries(section, entries);
  Document doc(path_);
  Writer w(doc);
  // A repeated header goes too: left behind, it would be read instead of the new section.
  std::vector<std::pair<std::size_t, std::size_t>> gone;
  for (const auto& [section, entries] : sections)
    for (std::size_t header : doc.FindSections(section))
      gone.emplace_back(header, doc.SectionEnd(header));
  std::sort(gone.begin(), gone.end());
  std::size_t from = 0;
  for (const auto& [header, end] : gone) {
    if (header < from) continue;  // named twice
    w.AddLines(doc, from, header);
    from = end;
  }
  w.AddLines(doc, from, doc.lines.size());
  // Erasing then writing puts the sections at the end of the file, as separate writes would.
  for (const auto& [section, entries] : sections) {
    w.OpenSection(section);
    for (const auto& [key, value] : Collapse(entries)) w.AddKey(key, value);
  }
  Commit(path_, w);
}

bool IniFile::RenameSection(const std::string& section, const std::string& newName) {
  CheckSection(newName);
  Document doc(path_);
  std::size_t header = doc.FindSection(section);
  if (header == Document::npos) return false;
  Writer w(doc);
  w.AddLines(doc, 0, header);
  w.Add("[" + newName + "]");
  w.AddLines(doc, header + 1, doc.lines.size());
  Commit(path_, w);
  return true;
}

std::string IniFile::ValueAsRead(const std::string& written) {
  return StripQuotes(Trim(written));
}

int32_t IniFile::IntegerOf(const std::string& text, int32_t def) {
  return ParseInteger(text).value_or(def);
}

}  // namespace lanvoy
