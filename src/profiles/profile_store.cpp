#include "profiles/profile_store.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <utility>

#include "base/strings.h"

namespace lanvoy {

namespace {

std::string WithExtension(const std::string& exePath, const char* extension) {
  if (ExtractFileName(exePath).find('.') == std::string::npos) return exePath + "." + extension;
  return exePath.substr(0, exePath.size() < 3 ? 0 : exePath.size() - 3) + extension;
}

std::string Quoted(const std::string& line) {
  return "'" + line + "'";
}

// The text to write so that reading gives value back: quoted when trimming or quote
// removal would change it.
std::string Protected(const std::string& value) {
  if (value.empty()) return value;
  const char first = value.front(), last = value.back();
  const bool blankEnd =
      static_cast<unsigned char>(first) <= ' ' || static_cast<unsigned char>(last) <= ' ';
  const bool quotePair = value.size() >= 2 && first == last && (first == '\'' || first == '"');
  return blankEnd || quotePair ? Quoted(value) : value;
}

std::string StoredText(const std::string& value) {
  return value;
}
std::string StoredText(int32_t value) {
  return std::to_string(value);
}
std::string StoredText(bool value) {
  return value ? "1" : "0";
}

void CheckName(const std::string& name) {
  if (!TProfileStore::IsValidProfileName(name)) throw EProfileNameError(name);
}

// A stored profile keeps the name it has; only a new one is held to the length.
void CheckNewName(const std::string& name) {
  CheckName(name);
  if (name.size() > TProfileStore::kMaxNewNameLength) throw EProfileNameError(name);
}

// One read of a section; keys are looked up without regard to case, the first line of a
// repeated key wins (as the INI layer reads it).
class SectionSnapshot {
 public:
  SectionSnapshot(const IniFile& ini, const std::string& section) {
    for (auto& [key, value] : ini.ReadSectionValues(section))
      values_.emplace(UpperCase(key), std::move(value));
  }
  std::optional<std::string> Find(const std::string& key) const {
    auto it = values_.find(UpperCase(key));
    if (it == values_.end()) return std::nullopt;
    return it->second;
  }
  std::string String(const std::string& key, const std::string& def = "") const {
    return Find(key).value_or(def);
  }
  int32_t Integer(const std::string& key, int32_t def) const {
    auto value = Find(key);
    return value ? IniFile::IntegerOf(*value, def) : def;
  }
  bool Bool(const std::string& key, bool def = false) const {
    return Integer(key, def ? 1 : 0) != 0;
  }
  // The highest i <= limit with a key prefix + i (decimal, no leading zero), or 0.
  std::size_t LastNumbered(const std::string& prefix, std::size_t limit) const {
    const std::string upper = UpperCase(prefix);
    std::size_t last = 0;
    for (const auto& entry : values_) {
      const std::string& key = entry.first;
      if (key.size() <= upper.size() || key.size() > upper.size() + 10 ||
          key.compare(0, upper.size(), upper) != 0 || key[upper.size()] == '0')
        continue;
      std::size_t index = 0;
      bool digits = true;
      for (std::size_t c = upper.size(); c < key.size(); ++c) {
        if (key[c] < '0' || key[c] > '9') {
          digits = false;
          break;
        }
        index = index * 10 + static_cast<std::size_t>(key[c] - '0');
      }
      if (digits && index <= limit) last = std::max(last, index);
    }
    return last;
  }

 private:
  std::unordered_map<std::string, std::string> values_;
};

bool IsNewerConnectionKey(const char* key) {
  bool newer = false;
  ForEachNewerConnectionField(
      [&](const char* name, auto, auto, auto) { newer = newer || std::string_view(name) == key; });
  return newer;
}

int32_t ModeOf(int32_t stored) {
  if (stored > 1) return kModeDhcp;
  if (stored < 0) return kModeNone;
  return stored;
}

// Prefix1..Prefixn, a missing key as an empty line. A hand-edited count far beyond the
// keys that stand in the section must not make the reader build millions of empty lines:
// after the last present key at most kMissingTail of them follow.
constexpr std::size_t kMissingTail = 1024;

std::vector<std::string> NumberedLines(const SectionSnapshot& s, const std::string& prefix,
                                       int32_t count) {
  std::vector<std::string> lines;
  if (count <= 0) return lines;
  const std::size_t n = static_cast<std::size_t>(count);
  const std::size_t last = s.LastNumbered(prefix, n);
  for (std::size_t i = 1; i <= last; ++i) lines.push_back(s.String(prefix + std::to_string(i)));
  lines.resize(last + std::min(n - last, kMissingTail));
  return lines;
}

}  // namespace

EProfileNameError::EProfileNameError(const std::string& name)
    : Error(TProfileStore::IsValidProfileName(name)
                ? "A profile name may have at most " +
                      std::to_string(TProfileStore::kMaxNewNameLength) + " characters; \"" +
                      name.substr(0, 20) + "...\" has " + std::to_string(name.size()) + "."
                : "\"" + name +
                      "\" cannot be used as a profile name. A profile name must not be empty "
                      "and must not contain \"[\", \"]\" or a line break.") {}

std::string StorePathFor(const std::string& exePath) {
  return WithExtension(exePath, "INI");
}

std::string OptionsPathFor(const std::string& exePath) {
  return WithExtension(exePath, "GUI");
}

std::string ProxyNotUsedValueOf(const std::string& fieldText) {
  // Lone CR or LF count as line breaks too: the file cannot hold them.
  std::string text =
      ReplaceAll(ReplaceAll(ReplaceAll(fieldText, "\r\n", "\n"), "\r", "\n"), "\n", "\r\n");
  while (text.find("\r\n\r\n") != std::string::npos) text = ReplaceAll(text, "\r\n\r\n", "\r\n");
  if (!text.empty()) text = ReplaceAll(text, "\r\n", ";");
  while (!text.empty() && text.back() == ';') text.pop_back();
  return text;
}

std::string ProxyNotUsedTextOf(const std::string& value) {
  return ReplaceAll(value, ";", "\r\n");
}

TProfileStore::TProfileStore(std::string path) : ini_(std::move(path)) {}

const std::string& TProfileStore::FileName() const {
  return ini_.FileName();
}

IniFile& TProfileStore::Ini() {
  return ini_;
}

std::vector<std::string> TProfileStore::ProfileNames() const {
  return ini_.ReadSections();
}

std::vector<std::string> TProfileStore::ListedNames() const {
  // Each name lowered once for the sort, not once per comparison: a store may hold a hundred
  // thousand profiles.
  const std::vector<std::string> names = ProfileNames();
  std::vector<std::pair<std::string, const std::string*>> keyed;
  keyed.reserve(names.size());
  for (const std::string& name : names) keyed.emplace_back(LowerCase(name), &name);
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> sorted;
  sorted.reserve(keyed.size());
  for (const auto& entry : keyed) sorted.push_back(*entry.second);
  return sorted;
}

bool TProfileStore::IsValidProfileName(const std::string& name) {
  return IniFile::IsValidSectionName(name);
}

bool TProfileStore::ProfileExists(const std::string& name) const {
  return ini_.SectionExists(name);
}

ProfileRecord TProfileStore::LoadProfile(const std::string& name) const {
  // One read of the file for the whole record.
  const SectionSnapshot s(ini_, name);
  ProfileRecord r;

  for (int i = 0; i < kConnections; ++i)
    ForEachConnectionField([&](const char* key, auto, auto first, auto second) {
      auto& field = r.*(i == 0 ? first : second);
      const std::string name = key + std::string(ConnectionSuffix(i));
      using T = std::remove_reference_t<decltype(field)>;
      if constexpr (std::is_same_v<T, bool>)
        field = s.Bool(name);
      else if constexpr (std::is_same_v<T, int32_t>)
        field = ModeOf(s.Integer(name, IsNewerConnectionKey(key) ? kModeNone : 0));
      else
        field = s.String(name);
    });

  r.Proxy = s.String("Proxy");
  r.ProxyPort = s.String("ProxyPort", "8080");
  r.EnableProxy = s.Bool("EnableProxy");
  r.ProxyNoLocal = s.Bool("ProxyNoLocal");
  r.ProxyNotUsed = ProxyNotUsedTextOf(s.String("ProxyNotUsed"));

  r.OLEXPPOP = s.String("OLEXPPOP");
  r.OLEXPSMTP = s.String("OLEXPSMTP");
  r.OLEXPIMAP = s.String("OLEXPIMAP");
  r.IncludeOLExp = s.Bool("IncludeOLExp");
  r.IncludeDefPrint = s.Bool("IncludeDefPrint");
  r.DefPrinter = s.String("DefPrinter");
  r.IncludeHostModification = s.Bool("IncludeHostModification");

  r.Hosts = FillHostsGrid(NumberedLines(s, "H", s.Integer("HostsCount", 0)));
  // A stored line has three blanks before its "#", which parsing leaves on the host name;
  // kept there, every save would add three more.
  for (HostRow& row : r.Hosts)
    while (!row.HostName.empty() && row.HostName.back() == ' ') row.HostName.pop_back();

  r.IncludeHostName = s.Bool("IncludeHostName");
  r.HostName = s.String("HostName");

  r.IncludeSript = s.Bool("IncludeSript");
  const int32_t kind = s.Integer("ScriptKind", 0);
  r.ScriptKind = kind >= 0 && kind <= 3 ? kind : -1;
  r.ScriptLines = NumberedLines(s, "S", s.Integer("ScriptLinesCount", 0));
  r.ConfirmKeep = s.Bool("ConfirmKeep");
  r.ConfirmSeconds = std::clamp(s.Integer("ConfirmSeconds", 15), 1, 255);
  return r;
}

void TProfileStore::SaveProfile(const std::string& name, const ProfileRecord& r) {
  CheckName(name);
  ini_.ReplaceSection(name, EntriesOf(r));
}

std::string TProfileStore::SectionText(const std::string& name, const ProfileRecord& r) {
  return SectionText(name, EntriesOf(r));
}

std::string TProfileStore::SectionText(const std::string& name, const IniFile::Entries& entries) {
  std::string text = "[" + name + "]" + kCRLF;
  for (const auto& [key, value] : entries) text += key + "=" + value + kCRLF;
  return text;
}

IniFile::Entries TProfileStore::StoredEntries(const std::string& name) const {
  IniFile::Entries entries = ini_.ReadSectionValues(name);
  for (auto& entry : entries) entry.second = Protected(entry.second);
  return entries;
}

namespace {

// Lines of the hosts table and the script: a prefix and a number without leading zero.
bool IsNumberedKey(const std::string& upper) {
  for (const char* prefix : {"H", "S"})
    if (upper.size() > 1 && upper[0] == prefix[0] && upper[1] != '0' &&
        upper.find_first_not_of("0123456789", 1) == std::string::npos)
      return true;
  return false;
}

bool KeyIn(const std::string& key, std::initializer_list<const char*> keys) {
  return std::any_of(keys.begin(), keys.end(), [&](const char* k) { return SameText(key, k); });
}

// The keys read as numbers besides the connections' switches.
constexpr std::initializer_list<const char*> kNumberKeys = {
    "EnableProxy",     "ProxyNoLocal", "IncludeOLExp",           "IncludeDefPrint", "HostsCount",
    "IncludeHostName", "IncludeSript", "ScriptLinesCount",       "ScriptKind",      "ConfirmKeep",
    "ConfirmSeconds",  "IncludeOL",    "IncludeHostModification"};

}  // namespace

bool TProfileStore::IsNumberKey(const std::string& key) {
  bool connectionSwitch = false;
  for (int n = 0; n < kConnections; ++n)
    ForEachConnectionField([&](const char* name, auto, auto first, auto) {
      using T = std::remove_reference_t<decltype(ProfileRecord().*first)>;
      if (!std::is_same_v<T, std::string> && SameText(key, name + std::string(ConnectionSuffix(n))))
        connectionSwitch = true;
    });
  return connectionSwitch || KeyIn(key, kNumberKeys);
}

bool TProfileStore::IsKnownKey(const std::string& key) {
  if (IsNumberKey(key) || IsNumberedKey(UpperCase(key))) return true;
  bool connection = false;
  for (int n = 0; n < kConnections; ++n)
    ForEachConnectionField([&](const char* name, auto, auto, auto) {
      if (SameText(key, name + std::string(ConnectionSuffix(n)))) connection = true;
    });
  // The keys of the mail program of old, which a new profile still gets.
  return connection || KeyIn(key, {"Proxy", "ProxyPort", "ProxyNotUsed", "OLEXPPOP", "OLEXPSMTP",
                                   "OLEXPIMAP", "DefPrinter", "HostName", "OLPROFILE", "OLSERVER"});
}

IniFile::Entries TProfileStore::EntriesOf(const ProfileRecord& r) {
  auto b = [](bool v) { return std::string(v ? "1" : "0"); };
  auto i = [](int32_t v) { return std::to_string(v); };
  IniFile::Entries e;
  for (int n = 0; n < kConnections; ++n)
    ForEachConnectionField([&](const char* key, auto member, auto first, auto second) {
      const auto& value = r.*(n == 0 ? first : second);
      if (IsNewerConnectionKey(key) && value == ConnectionSettings().*member) return;
      e.emplace_back(key + std::string(ConnectionSuffix(n)), StoredText(value));
    });
  e.insert(e.end(), {
                        {"Proxy", r.Proxy},
                        {"ProxyPort", r.ProxyPort},
                        {"EnableProxy", b(r.EnableProxy)},
                        {"ProxyNoLocal", b(r.ProxyNoLocal)},
                        {"ProxyNotUsed", ProxyNotUsedValueOf(r.ProxyNotUsed)},
                        {"OLEXPPOP", r.OLEXPPOP},
                        {"OLEXPSMTP", r.OLEXPSMTP},
                        {"OLEXPIMAP", r.OLEXPIMAP},
                        {"IncludeOLExp", b(r.IncludeOLExp)},
                        {"IncludeDefPrint", b(r.IncludeDefPrint)},
                        {"DefPrinter", r.DefPrinter},
                        {"IncludeHostModification", b(r.IncludeHostModification)},
                    });
  // A text with blanks at its ends, or in a pair of quotes, would read back otherwise.
  for (auto& entry : e) entry.second = Protected(entry.second);
  std::vector<std::string> hostLines;
  for (const HostRow& row : r.Hosts)
    if (auto line = HostsLineOf(row)) hostLines.push_back(*line);
  if (!hostLines.empty()) {
    e.emplace_back("HostsCount", std::to_string(hostLines.size()));
    for (std::size_t n = 0; n < hostLines.size(); ++n)
      e.emplace_back("H" + std::to_string(n + 1), Quoted(hostLines[n]));
  }
  e.emplace_back("IncludeHostName", b(r.IncludeHostName));
  e.emplace_back("HostName", Protected(r.HostName));
  e.emplace_back("IncludeSript", b(r.IncludeSript));
  e.emplace_back("ScriptLinesCount", std::to_string(r.ScriptLines.size()));
  e.emplace_back("ScriptKind", i(r.ScriptKind));
  for (std::size_t n = 0; n < r.ScriptLines.size(); ++n)
    e.emplace_back("S" + std::to_string(n + 1), Quoted(r.ScriptLines[n]));
  // Written only when asked for, so that a profile without it keeps its keys as they were.
  if (r.ConfirmKeep) {
    e.emplace_back("ConfirmKeep", "1");
    e.emplace_back("ConfirmSeconds", i(r.ConfirmSeconds));
  }
  return e;
}

ProfileRecord TProfileStore::CreateProfile(const std::string& name) {
  CheckNewName(name);
  ini_.WriteStrings(name, {
                              {"IP", ""},
                              {"Subnet", "255.255.255.0"},
                              {"DNS", ""},
                              {"DNS2", ""},
                              {"Gateway", ""},
                              {"Proxy", ""},
                              {"ProxyPort", "8080"},
                              {"WINS", ""},
                              {"DHCP", "0"},
                              {"DHCP_DNS", "0"},
                              {"DHCP_WINS", "0"},
                              {"OLEXPPOP", ""},
                              {"OLEXPSMTP", ""},
                              {"OLEXPIMAP", ""},
                              {"OLPROFILE", ""},
                              {"OLSERVER", ""},
                              {"IncludeOL", "0"},
                              {"IncludeOLExp", "0"},
                              {"LongLANDescription", "LAN-Verbindung"},
                              {"IncludeDefPrint", "0"},
                              {"DefPrinter", ""},
                          });
  return LoadProfile(name);
}

void TProfileStore::DeleteProfile(const std::string& name) {
  ini_.EraseSection(name);
}

void TProfileStore::CopyProfile(const std::string& source, const std::string& target) {
  CheckNewName(target);
  if (!ProfileExists(source)) return;
  // Each value as read, quoted again where it needs it: written bare, a script line's
  // blanks at its ends, or a pair of quotes around it, would be lost in the copy.
  ini_.WriteStrings(target, StoredEntries(source));
}

bool TProfileStore::MoveProfile(const std::string& source, const std::string& target) {
  if (!ProfileExists(source) || source == target) return false;
  CheckNewName(target);
  // The same section in other letters: copying onto itself and deleting would lose it.
  if (SameText(source, target)) return ini_.RenameSection(source, target);
  CopyProfile(source, target);
  DeleteProfile(source);
  return true;
}

}  // namespace lanvoy
