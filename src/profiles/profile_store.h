// The profile store: one INI file beside the executable, one section per profile. Every
// operation reads or writes the file itself; nothing is kept in memory.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "base/error.h"
#include "profiles/ini_file.h"
#include "profiles/profile_record.h"

namespace lanvoy {

// A profile name that cannot be stored as a section, or is too long for a new profile.
class EProfileNameError : public Error {
 public:
  explicit EProfileNameError(const std::string& name);
};

// The store's path: the executable's path with its last three characters replaced by "INI"
// (X.exe -> X.INI); an executable without an extension (Linux) gets ".INI" appended
// (Lanvoy -> Lanvoy.INI).
std::string StorePathFor(const std::string& exePath);
std::string OptionsPathFor(const std::string& exePath);  // same rule with "GUI"

// The exclusion field's text as the store keeps it: lines joined with ";", empty lines gone.
std::string ProxyNotUsedValueOf(const std::string& fieldText);
// The stored value as the field's text: every ";" a line break.
std::string ProxyNotUsedTextOf(const std::string& value);

class TProfileStore {
 public:
  explicit TProfileStore(std::string path);
  const std::string& FileName() const;
  IniFile& Ini();
  const IniFile& Ini() const { return ini_; }
  std::vector<std::string> ProfileNames() const;  // sections in file order
  // The names in the order the window's list and the tray menu show them: by name in any
  // letter case, names equal so in file order.
  std::vector<std::string> ListedNames() const;
  ProfileRecord LoadProfile(const std::string& name) const;
  // One change of the file: the section is written anew at the end of the file.
  void SaveProfile(const std::string& name, const ProfileRecord& record);
  ProfileRecord CreateProfile(
      const std::string& name);  // writes creation defaults, returns LoadProfile(name)
  bool ProfileExists(const std::string& name) const;
  void DeleteProfile(const std::string& name);  // erases the section (the window refills its list)
  void CopyProfile(const std::string& source, const std::string& target);
  bool MoveProfile(const std::string& source, const std::string& target);  // false: it stopped
  static bool IsValidProfileName(const std::string& name);
  // The longest name a new profile (created, copied or renamed) may get: each name is a
  // row of the list and an item of the tray menu, which grow as wide as it.
  static constexpr size_t kMaxNewNameLength = 64;

  // The keys and values SaveProfile writes for the record, in its order.
  static IniFile::Entries EntriesOf(const ProfileRecord& record);
  // The record as a section of a store: "[name]" and every key as SaveProfile writes it, each
  // line ended by CR LF.
  static std::string SectionText(const std::string& name, const ProfileRecord& record);
  static std::string SectionText(const std::string& name, const IniFile::Entries& entries);
  // The section's keys as they stand, each value quoted where a write needs it to read back
  // the same (so a copy or an export keeps every key, unknown ones too).
  IniFile::Entries StoredEntries(const std::string& name) const;

  // Whether the program reads the key (in any letter case), and whether it reads it as a
  // number.
  static bool IsKnownKey(const std::string& key);
  static bool IsNumberKey(const std::string& key);

 private:
  IniFile ini_;
};

}  // namespace lanvoy
