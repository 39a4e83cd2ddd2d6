// The simulated registry: one REGEDIT4 export file ("registry.reg") holding both roots.
// Nothing is cached: every query reads the file, every change reads it, changes it and
// writes it anew atomically, so the program, the tools and the tests see each other's
// changes. Key and value names compare without regard to case and keep the case they were
// first written with.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace lanvoy::sim {

// The parsed export file. Values keep their data as the file spells it (after the "="), so
// types the program does not know (hex:, hex(2):...) are written back unchanged.
class RegistryFile {
 public:
  struct Value {
    std::string name;  // "" for the default value ("@" in the file)
    std::string data;  // "\"text\"" with escapes, "dword:0000002a", "hex(2):25,53,..."
  };
  struct Key {
    std::string path;  // full path from the root's name: "HKEY_CURRENT_USER\Software\..."
    std::vector<Value> values;
  };

  static RegistryFile Parse(const std::string& text);
  std::string Serialize() const;

  // "HKEY_CURRENT_USER" + the path's parts, without empty parts or leading backslashes.
  static std::string FullPath(platform::RootKey root, const std::string& path);

  // The key itself, or nullptr; ExistsKey also counts a key that is only a parent of others.
  Key* FindKey(const std::string& fullPath);
  bool KeyExists(const std::string& fullPath) const;
  Key& CreateKey(const std::string& fullPath);

  static Value* FindValue(Key& key, const std::string& name);
  static std::optional<platform::RegistryValue> Decode(const std::string& data);
  static std::string EncodeString(const std::string& text);
  static std::string EncodeDWord(uint32_t value);

  const std::vector<Key>& keys() const { return keys_; }

 private:
  std::vector<Key> keys_;
};

class SimRegistry : public platform::Registry {
 public:
  explicit SimRegistry(std::filesystem::path file) : file_(std::move(file)) {}
  std::unique_ptr<platform::RegistryKey> Open(platform::RootKey root, const std::string& path,
                                              bool create) override;

  // RegEnumValue: the names of a key's values in file order (empty for a missing key).
  std::vector<std::string> ValueNames(platform::RootKey root, const std::string& path);

  const std::filesystem::path& file() const { return file_; }

 private:
  std::filesystem::path file_;
};

}  // namespace lanvoy::sim
