// The profile store at 2,000 profiles: every operation reads (and a save rewrites) the
// whole file, so this is what one click costs with a large store.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "profiles/profile_store.h"

namespace {

using lanvoy::ProfileRecord;
using lanvoy::TProfileStore;

constexpr int kProfiles = 2000;

ProfileRecord SampleRecord(int n) {
  ProfileRecord r;
  const std::string host = std::to_string(n % 250 + 1);
  r.LongLANDescription = "LAN-Verbindung";
  r.IP = "192.168.0." + host;
  r.Subnet = "255.255.255.0";
  r.Gateway = "192.168.0.1";
  r.DNS = "192.168.0.2";
  r.DNS2 = "192.168.0.3";
  r.LongLANDescriptionLan2 = "WLAN";
  r.DHCPLan2 = lanvoy::kModeDhcp;
  r.Proxy = "proxy.example.com";
  r.EnableProxy = true;
  r.ProxyNotUsed = "10.*\r\nintranet\r\n*.local";
  r.Hosts = {{"printer", "10.0.0." + host, "lab"}, {"files", "10.0.1." + host, ""}};
  r.ScriptLines = {"@echo off", "net use z: \\\\files\\share", "echo done"};
  return r;
}

class StoreFixture : public benchmark::Fixture {
 public:
  void SetUp(const benchmark::State&) override {
    dir_ = std::filesystem::temp_directory_path() /
           ("lanvoy-bench-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir_);
    store_ = std::make_unique<TProfileStore>((dir_ / "Lanvoy.INI").string());
    // Built as one file: 2,000 separate saves would each rewrite the growing file.
    std::string bytes;
    {
      TProfileStore one((dir_ / "one.INI").string());
      for (int n = 0; n < kProfiles; ++n) {
        std::filesystem::remove(dir_ / "one.INI");
        one.SaveProfile("Profile " + std::to_string(n), SampleRecord(n));
        std::ifstream in(dir_ / "one.INI", std::ios::binary);
        bytes.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        bytes.append("\r\n");
      }
    }
    std::ofstream(dir_ / "Lanvoy.INI", std::ios::binary) << bytes;
  }
  void TearDown(const benchmark::State&) override {
    store_.reset();
    std::filesystem::remove_all(dir_);
  }

 protected:
  std::filesystem::path dir_;
  std::unique_ptr<TProfileStore> store_;
  const std::string middle_ = "Profile " + std::to_string(kProfiles / 2);
};

BENCHMARK_F(StoreFixture, ProfileNames)(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(store_->ProfileNames());
  state.counters["file_bytes"] =
      static_cast<double>(std::filesystem::file_size(dir_ / "Lanvoy.INI"));
}

BENCHMARK_F(StoreFixture, ProfileExists)(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(store_->ProfileExists(middle_));
}

BENCHMARK_F(StoreFixture, LoadProfile)(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(store_->LoadProfile(middle_));
}

BENCHMARK_F(StoreFixture, SaveProfile)(benchmark::State& state) {
  const ProfileRecord record = SampleRecord(7);
  for (auto _ : state) store_->SaveProfile(middle_, record);
}

}  // namespace

BENCHMARK_MAIN();
