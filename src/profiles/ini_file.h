// The INI layer: Windows private-profile semantics on a file, read and written by the
// program itself. Reads keep the parsed file while its size and modification time stay the
// same; every change writes a complete new file beside it and renames it over the old one.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/error.h"

namespace lanvoy {

// "Unable to write to %s", or a refused name or value.
class EIniFileError : public Error {
 public:
  using Error::Error;
};

class IniFile {
 public:
  using Entries = std::vector<std::pair<std::string, std::string>>;

  explicit IniFile(std::string path);
  const std::string& FileName() const { return path_; }

  // Trimmed text after the first "=", one pair of equal enclosing quotes removed; the
  // default only when the key is missing (an empty value reads as ""). A line of the key's
  // name without "=" is a key without a value: it reads as missing and hides later lines of
  // that name.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def) const;
  // Decimal, or hexadecimal after "0x", "0X" or "$", blanks before it skipped; anything else
  // gives def.
  int32_t ReadInteger(const std::string& section, const std::string& key, int32_t def) const;
  // An integer read with default 1 or 0; true for anything but 0.
  bool ReadBool(const std::string& section, const std::string& key, bool def) const;

  // Replace the key's line, or add it at the end of its section; a missing section is added
  // at the end of the file, a missing file is created. The value is written unchanged.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  // Several keys of one section in one change of the file, each as WriteString writes it.
  void WriteStrings(const std::string& section, const Entries& entries);
  void WriteInteger(const std::string& section, const std::string& key, int32_t value);
  void WriteBool(const std::string& section, const std::string& key, bool value);

  // Section names in file order (repeated names too), key names of a section in file order.
  std::vector<std::string> ReadSections() const;
  std::vector<std::string> ReadSection(const std::string& section) const;
  // Names and values (as ReadString gives them, "" for a key without a value) of a section's
  // keys, in file order; a key is listed at its first line with a value.
  Entries ReadSectionValues(const std::string& section) const;
  // A section that lists at least one key.
  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& key) const;

  // Removes every header of that name with its lines.
  void EraseSection(const std::string& section);
  // Removes the key's first line (with or without a value) from the first header of that
  // name that holds it.
  void DeleteKey(const std::string& section, const std::string& key);
  // Erases the section (every header of that name) and writes it anew at the end of the file with
  // these keys, in this order: one change of the file, so a failure leaves the old section as it
  // was.
  void ReplaceSection(const std::string& section, const Entries& entries);
  // Several sections replaced so in one change of the file, in this order.
  void ReplaceSections(const std::vector<std::pair<std::string, Entries>>& sections);

  // Gives the section's header a new name in place (keys and position stay); false when
  // the section is missing.
  bool RenameSection(const std::string& section, const std::string& newName);

  // A value as ReadInteger reads it (a value as ReadString gives it): decimal or
  // hexadecimal, else def.
  static int32_t IntegerOf(const std::string& text, int32_t def);

  // What a read gives for a value written so (one pair of equal enclosing quotes removed).
  static std::string ValueAsRead(const std::string& written);

  // A name that cannot be a section: empty, holding "[" or "]" or a line break.
  static bool IsValidSectionName(const std::string& name);

 private:
  std::string path_;
};

}  // namespace lanvoy
