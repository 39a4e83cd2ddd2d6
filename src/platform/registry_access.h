// TRegistry: the toolkit-style registry object the stage writers use: one open key at a
// time, typed reads and writes that raise ERegistryException with the toolkit's messages.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/error.h"
#include "platform/platform.h"

namespace lanvoy {

class ERegistryException : public Error {
 public:
  using Error::Error;
};

class TRegistry {
 public:
  TRegistry(platform::Registry& registry, platform::RootKey root);

  // Opens (with CanCreate: creates when missing) a key; closes one that was open. Returns
  // whether the key is now open. Never raises.
  bool OpenKey(const std::string& path, bool canCreate);
  void CloseKey();
  bool IsOpen() const { return key_ != nullptr; }

  bool ValueExists(const std::string& name);
  // A missing value reads as ""; any other type raises "Invalid data type for '%s'".
  std::string ReadString(const std::string& name);
  // A missing value raises "Failed to get data for '%s'", another type "Invalid data type for
  // '%s'".
  int32_t ReadInteger(const std::string& name);
  // Raise "Failed to set data for '%s'" when the value cannot be written.
  void WriteString(const std::string& name, const std::string& value);
  void WriteInteger(const std::string& name, int32_t value);
  bool DeleteValue(const std::string& name);

 private:
  platform::RegistryKey& Key(const std::string& name, const char* failure);

  platform::Registry& registry_;
  platform::RootKey root_;
  std::unique_ptr<platform::RegistryKey> key_;
};

}  // namespace lanvoy
