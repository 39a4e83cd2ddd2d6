// A fresh folder per test, removed afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace lanvoy::test {

class TempDir {
 public:
  // inside: a folder below the fresh one to work in ("Program Files/Lanvoy").
  explicit TempDir(const std::string& inside = "") {
    std::random_device rd;
    root_ = std::filesystem::temp_directory_path() /
            ("lanvoy-test-" + std::to_string(rd()) + std::to_string(rd()));
    path_ = inside.empty() ? root_ : root_ / inside;
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

  void Write(const std::string& name, const std::string& bytes) const {
    std::filesystem::create_directories((path_ / name).parent_path());
    std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
    out << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  bool Exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }

 private:
  std::filesystem::path root_, path_;
};

}  // namespace lanvoy::test
