#include "platform/registry_access.h"

namespace lanvoy {

namespace {
constexpr const char* kSetFailed = "Failed to set data for '%s'";
constexpr const char* kGetFailed = "Failed to get data for '%s'";
constexpr const char* kBadType = "Invalid data type for '%s'";

[[noreturn]] void Raise(const char* pattern, const std::string& name) {
  throw ERegistryException(FormatMessage(pattern, name));
}
}  // namespace

TRegistry::TRegistry(platform::Registry& registry, platform::RootKey root)
    : registry_(registry), root_(root) {}

bool TRegistry::OpenKey(const std::string& path, bool canCreate) {
  CloseKey();
  key_ = registry_.Open(root_, path, canCreate);
  return key_ != nullptr;
}

void TRegistry::CloseKey() {
  key_.reset();
}

platform::RegistryKey& TRegistry::Key(const std::string& name, const char* failure) {
  if (!key_) Raise(failure, name);
  return *key_;
}

bool TRegistry::ValueExists(const std::string& name) {
  return key_ && key_->Query(name).has_value();
}

std::string TRegistry::ReadString(const std::string& name) {
  auto value = Key(name, kGetFailed).Query(name);
  if (!value) return std::string();
  if (value->type != platform::ValueType::String) Raise(kBadType, name);
  return value->text;
}

int32_t TRegistry::ReadInteger(const std::string& name) {
  auto value = Key(name, kGetFailed).Query(name);
  if (!value) Raise(kGetFailed, name);
  if (value->type != platform::ValueType::DWord) Raise(kBadType, name);
  return static_cast<int32_t>(value->dword);
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  if (!Key(name, kSetFailed).SetString(name, value)) Raise(kSetFailed, name);
}

void TRegistry::WriteInteger(const std::string& name, int32_t value) {
  if (!Key(name, kSetFailed).SetDWord(name, static_cast<uint32_t>(value))) Raise(kSetFailed, name);
}

bool TRegistry::DeleteValue(const std::string& name) {
  return key_ && key_->DeleteValue(name);
}

}  // namespace lanvoy
