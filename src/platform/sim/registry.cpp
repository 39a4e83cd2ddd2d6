#include "platform/sim/registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <functional>
#include <system_error>

#include "base/files.h"
#include "base/strings.h"

namespace lanvoy::sim {

namespace fs = std::filesystem;
using platform::RegistryValue;
using platform::RootKey;
using platform::ValueType;

namespace {

std::string TrimRight(const std::string& s) {
  std::size_t end = s.size();
  while (end > 0 && static_cast<unsigned char>(s[end - 1]) <= ' ') --end;
  return s.substr(0, end);
}

std::vector<std::string> PathParts(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c == '\\') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part.push_back(c);
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

std::string JoinParts(const std::vector<std::string>& parts) {
  std::string path;
  for (const auto& p : parts) {
    if (!path.empty()) path.push_back('\\');
    path += p;
  }
  return path;
}

bool StartsWithIgnoringCase(const std::string& s, const std::string& prefix) {
  return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

// Reads a quoted REGEDIT4 string starting at pos (on the opening quote); pos ends after the
// closing quote. Only \\ and \" are escapes; another backslash stands for itself.
std::optional<std::string> Unquote(const std::string& s, std::size_t& pos) {
  if (pos >= s.size() || s[pos] != '"') return std::nullopt;
  std::string out;
  for (++pos; pos < s.size(); ++pos) {
    char c = s[pos];
    if (c == '"') {
      ++pos;
      return out;
    }
    if (c == '\\' && pos + 1 < s.size() && (s[pos + 1] == '\\' || s[pos + 1] == '"')) c = s[++pos];
    out.push_back(c);
  }
  return std::nullopt;
}

std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

std::optional<std::string> HexBytes(const std::string& list) {
  std::string bytes;
  std::string digits;
  auto flush = [&]() -> bool {
    if (digits.empty()) return true;
    if (digits.size() > 2) return false;
    bytes.push_back(static_cast<char>(std::stoi(digits, nullptr, 16)));
    digits.clear();
    return true;
  };
  for (char c : list) {
    if (std::isxdigit(static_cast<unsigned char>(c)))
      digits.push_back(c);
    else if (c == ',') {
      if (!flush()) return std::nullopt;
    } else if (!std::isspace(static_cast<unsigned char>(c)) && c != '\\') {
      return std::nullopt;
    }
  }
  if (!flush()) return std::nullopt;
  return bytes;
}

const char* RootName(RootKey root) {
  return root == RootKey::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

// Writers of registry.reg take this lock (a file beside it) around read-change-write, so two
// processes changing values at once do not lose each other's change.
class WriterLock {
 public:
  explicit WriterLock(const fs::path& file) {
    fd_ = open((file.string() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ >= 0) {
      while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
    }
  }
  ~WriterLock() {
    if (fd_ >= 0) close(fd_);  // releases the lock
  }
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;

 private:
  int fd_ = -1;
};

// The file as it stands; nullopt when it exists but cannot be read (then nothing may be
// written over it). A missing file is an empty registry.
std::optional<RegistryFile> Load(const fs::path& file) {
  if (auto bytes = ReadFileBytes(file.string())) return RegistryFile::Parse(*bytes);
  std::error_code ec;
  if (fs::exists(file, ec) || ec) return std::nullopt;
  return RegistryFile();
}

// Reads, lets change alter the content (returning false to give up), writes atomically.
// Not flushed: Windows keeps a changed hive in memory and writes it out later, so a
// program cannot rely on more (RegFlushKey aside).
bool Change(const fs::path& file, const std::function<bool(RegistryFile&)>& change) {
  WriterLock lock(file);
  auto content = Load(file);
  if (!content || !change(*content)) return false;
  return WriteFileAtomic(file.string(), content->Serialize(), Durability::kLazy);
}

class SimRegistryKey : public platform::RegistryKey {
 public:
  SimRegistryKey(fs::path file, std::string fullPath)
      : file_(std::move(file)), path_(std::move(fullPath)) {}

  std::optional<RegistryValue> Query(const std::string& name) override {
    auto content = Load(file_);
    if (!content) return std::nullopt;
    RegistryFile::Key* key = content->FindKey(path_);
    if (!key) return std::nullopt;
    RegistryFile::Value* value = RegistryFile::FindValue(*key, name);
    if (!value) return std::nullopt;
    auto decoded = RegistryFile::Decode(value->data);
    // What is no plain string or number keeps its spelling, to be written back as it was.
    if (decoded && decoded->type == ValueType::Other) decoded->raw = value->data;
    return decoded;
  }

  bool SetRaw(const std::string& name, const RegistryValue& value) override {
    if (!value.raw.empty()) return Set(name, value.raw);
    return value.type == ValueType::DWord ? SetDWord(name, value.dword)
                                          : SetString(name, value.text);
  }

  bool SetString(const std::string& name, const std::string& data) override {
    return Set(name, RegistryFile::EncodeString(data));
  }

  bool SetDWord(const std::string& name, uint32_t data) override {
    return Set(name, RegistryFile::EncodeDWord(data));
  }

  bool DeleteValue(const std::string& name) override {
    return Change(file_, [&](RegistryFile& content) {
      RegistryFile::Key* key = content.FindKey(path_);
      if (!key) return false;
      for (auto it = key->values.begin(); it != key->values.end(); ++it) {
        if (SameText(it->name, name)) {
          key->values.erase(it);
          return true;
        }
      }
      return false;
    });
  }

 private:
  bool Set(const std::string& name, const std::string& data) {
    return Change(file_, [&](RegistryFile& content) {
      // A key deleted since it was opened takes no values (as a deleted key's handle).
      if (!content.KeyExists(path_)) return false;
      RegistryFile::Key& key = content.CreateKey(path_);
      if (RegistryFile::Value* value = RegistryFile::FindValue(key, name))
        value->data = data;
      else
        key.values.push_back({name, data});
      return true;
    });
  }

  fs::path file_;
  std::string path_;
};

}  // namespace

// ---------------------------------------------------------------- RegistryFile

RegistryFile RegistryFile::Parse(const std::string& text) {
  RegistryFile file;
  std::vector<std::string> lines = SplitLines(text);
  Key* current = nullptr;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string line = Trim(lines[i]);
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      current = &file.CreateKey(line.substr(1, line.size() - 2));
      continue;
    }
    if (!current || (line[0] != '"' && line[0] != '@')) continue;
    std::size_t pos = 0;
    std::string name;
    if (line[0] == '@') {
      pos = 1;
    } else if (auto quoted = Unquote(line, pos)) {
      name = *quoted;
    } else {
      continue;
    }
    if (pos >= line.size() || line[pos] != '=') continue;
    std::string data = line.substr(pos + 1);
    // Hex data goes on over lines ending with a backslash. One on the last line continues
    // nothing and goes too: kept, it would take the line written after it.
    // What a continuation leaves at the end (a blank, a control byte) would not survive the
    // trimming of the line when the file is read again, and may bare another backslash.
    if (!data.empty() && data[0] != '"') {
      for (data = TrimRight(data); !data.empty() && data.back() == '\\'; data = TrimRight(data)) {
        data.pop_back();
        if (i + 1 < lines.size()) data += Trim(lines[++i]);
      }
    }
    if (Value* existing = FindValue(*current, name))
      existing->data = data;
    else
      current->values.push_back({name, data});
  }
  return file;
}

std::string RegistryFile::Serialize() const {
  std::string out = "REGEDIT4\r\n";
  for (const auto& key : keys_) {
    out += "\r\n[" + key.path + "]\r\n";
    for (const auto& value : key.values)
      out +=
          (value.name.empty() ? std::string("@") : Quote(value.name)) + "=" + value.data + "\r\n";
  }
  out += "\r\n";
  return out;
}

std::string RegistryFile::FullPath(RootKey root, const std::string& path) {
  std::vector<std::string> parts = PathParts(path);
  parts.insert(parts.begin(), RootName(root));
  return JoinParts(parts);
}

RegistryFile::Key* RegistryFile::FindKey(const std::string& fullPath) {
  const std::string wanted = JoinParts(PathParts(fullPath));
  for (auto& key : keys_)
    if (SameText(key.path, wanted)) return &key;
  return nullptr;
}

bool RegistryFile::KeyExists(const std::string& fullPath) const {
  const std::string wanted = JoinParts(PathParts(fullPath));
  if (wanted.find('\\') == std::string::npos) return true;  // a root key
  for (const auto& key : keys_) {
    if (SameText(key.path, wanted) || StartsWithIgnoringCase(key.path, wanted + "\\")) return true;
  }
  return false;
}

RegistryFile::Key& RegistryFile::CreateKey(const std::string& fullPath) {
  if (Key* key = FindKey(fullPath)) return *key;
  keys_.push_back({JoinParts(PathParts(fullPath)), {}});
  return keys_.back();
}

RegistryFile::Value* RegistryFile::FindValue(Key& key, const std::string& name) {
  for (auto& value : key.values)
    if (SameText(value.name, name)) return &value;
  return nullptr;
}

std::optional<RegistryValue> RegistryFile::Decode(const std::string& data) {
  RegistryValue value;
  if (!data.empty() && data[0] == '"') {
    std::size_t pos = 0;
    if (auto text = Unquote(data, pos)) {
      value.type = ValueType::String;
      value.text = *text;
      return value;
    }
  } else if (StartsWithIgnoringCase(data, "dword:")) {
    std::string digits = Trim(data.substr(6));
    bool hex = !digits.empty() && digits.size() <= 8;
    for (char c : digits) hex = hex && std::isxdigit(static_cast<unsigned char>(c));
    if (hex) {
      value.type = ValueType::DWord;
      value.dword = static_cast<uint32_t>(std::stoul(digits, nullptr, 16));
      return value;
    }
  } else if (StartsWithIgnoringCase(data, "hex(1):")) {
    if (auto bytes = HexBytes(data.substr(7))) {
      while (!bytes->empty() && bytes->back() == '\0') bytes->pop_back();
      value.type = ValueType::String;
      value.text = *bytes;
      return value;
    }
  } else if (StartsWithIgnoringCase(data, "hex(4):")) {
    if (auto bytes = HexBytes(data.substr(7)); bytes && bytes->size() == 4) {
      value.type = ValueType::DWord;
      for (int i = 3; i >= 0; --i)
        value.dword = (value.dword << 8) | static_cast<unsigned char>((*bytes)[i]);
      return value;
    }
  }
  value.type = ValueType::Other;
  return value;
}

std::string RegistryFile::EncodeString(const std::string& text) {
  // A line break cannot stand inside a quoted REGEDIT4 string; the bytes form keeps it.
  if (text.find_first_of("\r\n") == std::string::npos) return Quote(text);
  std::string out = "hex(1):";
  char buffer[4];
  for (char c : text) {
    std::snprintf(buffer, sizeof buffer, "%02x,", static_cast<unsigned char>(c));
    out += buffer;
  }
  return out + "00";
}

std::string RegistryFile::EncodeDWord(uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "dword:%08x", value);
  return buffer;
}

// ---------------------------------------------------------------- SimRegistry

std::unique_ptr<platform::RegistryKey> SimRegistry::Open(RootKey root, const std::string& path,
                                                         bool create) {
  const std::string full = RegistryFile::FullPath(root, path);
  if (!create) {
    auto content = Load(file_);
    if (!content || !content->KeyExists(full)) return nullptr;
    return std::make_unique<SimRegistryKey>(file_, full);
  }
  auto content = Load(file_);
  if (!content) return nullptr;
  if (!content->KeyExists(full)) {
    bool made = Change(file_, [&](RegistryFile& latest) {
      if (latest.KeyExists(full)) return false;  // made meanwhile by somebody else
      latest.CreateKey(full);
      return true;
    });
    if (!made) {
      auto again = Load(file_);
      if (!again || !again->KeyExists(full)) return nullptr;
    }
  }
  return std::make_unique<SimRegistryKey>(file_, full);
}

std::vector<std::string> SimRegistry::ValueNames(RootKey root, const std::string& path) {
  std::vector<std::string> names;
  auto content = Load(file_);
  if (!content) return names;
  if (RegistryFile::Key* key = content->FindKey(RegistryFile::FullPath(root, path)))
    for (const auto& value : key->values) names.push_back(value.name);
  return names;
}

}  // namespace lanvoy::sim
