#include "platform/win32/windows_api.h"

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/win32_parts.h"

namespace lanvoy::win32 {

namespace {

using platform::RegistryValue;
using platform::ValueType;

// The program writes its paths with a leading backslash ("\Software\..."), which the
// registry functions refuse (ERROR_BAD_PATHNAME); a trailing one names the same key.
std::string SubKeyOf(const std::string& path) {
  std::size_t begin = path.find_first_not_of('\\');
  if (begin == std::string::npos) return std::string();
  std::size_t end = path.find_last_not_of('\\');
  return path.substr(begin, end - begin + 1);
}

HKEY RootOf(platform::RootKey root) {
  return root == platform::RootKey::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

class Win32RegistryKey : public platform::RegistryKey {
 public:
  explicit Win32RegistryKey(HKEY key) : key_(key) {}
  ~Win32RegistryKey() override { RegCloseKey(key_); }
  Win32RegistryKey(const Win32RegistryKey&) = delete;
  Win32RegistryKey& operator=(const Win32RegistryKey&) = delete;

  std::optional<RegistryValue> Query(const std::string& name) override {
    DWORD type = 0;
    DWORD size = 0;
    LONG rc = RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size);
    if (rc != ERROR_SUCCESS) return std::nullopt;
    std::vector<BYTE> data;
    // The value may grow between the two calls; ask again until it fits.
    do {
      data.resize(size + 1);
      size = static_cast<DWORD>(data.size());
      rc = RegQueryValueExA(key_, name.c_str(), nullptr, &type, data.data(), &size);
    } while (rc == ERROR_MORE_DATA);
    if (rc != ERROR_SUCCESS) return std::nullopt;
    data.resize(size);

    RegistryValue value;
    if (type != REG_SZ && !(type == REG_DWORD && size == sizeof(DWORD))) {
      value.rawType = type;
      value.raw.assign(data.begin(), data.end());
    }
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
      value.type = ValueType::String;
      // Stored with or without its terminating NUL; the text ends at the first one.
      std::string text(data.begin(), data.end());
      value.text = text.substr(0, text.find('\0'));
    } else if (type == REG_DWORD && size == sizeof(DWORD)) {
      value.type = ValueType::DWord;
      DWORD dword = 0;
      CopyMemory(&dword, data.data(), sizeof dword);
      value.dword = dword;
    } else {
      value.type = ValueType::Other;
    }
    return value;
  }

  bool SetString(const std::string& name, const std::string& data) override {
    return RegSetValueExA(key_, name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
  }

  bool SetRaw(const std::string& name, const RegistryValue& value) override {
    if (value.rawType != 0)
      return RegSetValueExA(key_, name.c_str(), 0, value.rawType,
                            reinterpret_cast<const BYTE*>(value.raw.data()),
                            static_cast<DWORD>(value.raw.size())) == ERROR_SUCCESS;
    return value.type == ValueType::DWord ? SetDWord(name, value.dword)
                                          : SetString(name, value.text);
  }

  bool SetDWord(const std::string& name, uint32_t data) override {
    DWORD dword = data;
    return RegSetValueExA(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dword),
                          sizeof dword) == ERROR_SUCCESS;
  }

  bool DeleteValue(const std::string& name) override {
    return RegDeleteValueA(key_, name.c_str()) == ERROR_SUCCESS;
  }

 private:
  HKEY key_;
};

class Win32Registry : public platform::Registry {
 public:
  std::unique_ptr<platform::RegistryKey> Open(platform::RootKey root, const std::string& path,
                                              bool create) override {
    const std::string subKey = SubKeyOf(path);
    HKEY key = nullptr;
    LONG rc;
    if (create) {
      DWORD disposition = 0;
      rc = RegCreateKeyExA(RootOf(root), subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, &key, &disposition);
    } else {
      rc = RegOpenKeyExA(RootOf(root), subKey.c_str(), 0, KEY_ALL_ACCESS, &key);
    }
    if (rc != ERROR_SUCCESS) return nullptr;
    return std::make_unique<Win32RegistryKey>(key);
  }
};

// Read access only: HKLM's keys open so for a user without an administrator's rights.
HKEY OpenToRead(platform::RootKey root, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(RootOf(root), SubKeyOf(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return nullptr;
  return key;
}

}  // namespace

std::unique_ptr<platform::Registry> MakeRegistry() {
  return std::make_unique<Win32Registry>();
}

std::optional<RegistryData> ReadRegistryValue(platform::RootKey root, const std::string& path,
                                              const std::string& name) {
  HKEY key = OpenToRead(root, path);
  if (!key) return std::nullopt;
  RegistryData value;
  DWORD type = 0, size = 0;
  LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
  while (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
    value.bytes.resize(size);
    rc = RegQueryValueExA(key, name.c_str(), nullptr, &type,
                          reinterpret_cast<BYTE*>(value.bytes.data()), &size);
    if (rc == ERROR_SUCCESS) {
      value.bytes.resize(size);
      break;
    }
  }
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return std::nullopt;
  value.type = type;
  return value;
}

std::vector<std::string> RegistrySubKeys(platform::RootKey root, const std::string& path) {
  std::vector<std::string> names;
  HKEY key = OpenToRead(root, path);
  if (!key) return names;
  char name[256];  // the longest key name Windows allows, and its NUL
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    LONG rc = RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc == ERROR_SUCCESS) names.emplace_back(name, length);
  }
  RegCloseKey(key);
  return names;
}

}  // namespace lanvoy::win32
