// The INI layer on a fuzzed file: a written key reads back as written, a replaced section
// holds exactly its new keys, an erased one is gone; every other section reads as before,
// a refused write leaves the file as it was, and no temporary file is left beside it.
#include <map>
#include <string>
#include <vector>

#include "base/files.h"
#include "base/strings.h"
#include "fuzz_support.h"
#include "profiles/ini_file.h"

namespace {

using lanvoy::IniFile;

// What a read gives for a written value: trimmed, one pair of equal quotes removed.
std::string AsRead(const std::string& value) {
  std::string v = lanvoy::Trim(value);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return v;
}

// Every section's values, by upper-case name (a repeated name is one section).
std::map<std::string, IniFile::Entries> Contents(const IniFile& ini) {
  std::map<std::string, IniFile::Entries> all;
  for (const std::string& name : ini.ReadSections())
    all.emplace(lanvoy::UpperCase(name), ini.ReadSectionValues(name));
  return all;
}

// The sections of other names read as before.
void CheckOthersKept(const std::map<std::string, IniFile::Entries>& before, const IniFile& ini,
                     const std::vector<std::string>& changed) {
  auto after = Contents(ini);
  auto expected = before;
  for (const std::string& name : changed) {
    after.erase(lanvoy::UpperCase(name));
    expected.erase(lanvoy::UpperCase(name));
  }
  LANVOY_CHECK(after == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const auto& folder = lanvoy::fuzz::WorkFolder();
  const std::string path = (folder / "Lanvoy.INI").string();
  const int op = in.ConsumeIntegralInRange(0, 4);
  const std::string section = in.ConsumeRandomLengthString(24);
  const std::string key = in.ConsumeRandomLengthString(24);
  const std::string value = in.ConsumeRandomLengthString(48);
  const std::string file = in.ConsumeRemainingBytesAsString();
  LANVOY_CHECK(lanvoy::WriteFileAtomic(path, file));

  IniFile ini(path);
  const auto before = Contents(ini);
  try {
    switch (op) {
      case 0:
        ini.WriteString(section, key, value);
        LANVOY_CHECK(ini.ReadString(section, key, "\x01missing") == AsRead(value));
        break;
      case 1:
        ini.ReplaceSection(section, {{key, value}, {"Second", value}});
        LANVOY_CHECK(ini.ReadSectionValues(section).size() ==
                     (lanvoy::SameText(key, "Second") ? 1u : 2u));
        LANVOY_CHECK(ini.ReadString(section, "Second", "\x01missing") == AsRead(value));
        break;
      case 2:
        ini.EraseSection(section);
        LANVOY_CHECK(ini.ReadSectionValues(section).empty());
        break;
      case 3:
        ini.DeleteKey(section, key);
        break;
      default:
        if (ini.RenameSection(section, key)) {
          auto it = before.find(lanvoy::UpperCase(section));
          LANVOY_CHECK(it != before.end());
          if (!lanvoy::SameText(section, key) && before.count(lanvoy::UpperCase(key)) == 0)
            LANVOY_CHECK(ini.ReadSectionValues(key) == it->second);
        }
        break;
    }
    CheckOthersKept(before, ini, op == 4 ? std::vector{section, key} : std::vector{section});
  } catch (const lanvoy::EIniFileError&) {
    // Refused: a bad name or a value with a line break. Nothing was written.
    LANVOY_CHECK(lanvoy::ReadFileBytes(path) == file);
  }
  LANVOY_CHECK(lanvoy::fuzz::FilesIn(folder) == 1);
  return 0;
}
