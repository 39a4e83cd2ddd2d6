// Parsing a large interface dump, and a whole apply on the simulated host without pauses.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "apply/apply_sequence.h"
#include "components/appexec.h"
#include "platform/sim/sim_platform.h"
#include "sysread/dump_parser.h"

namespace lanvoy {
namespace {

std::vector<std::string> LargeDump(int lines) {
  std::vector<std::string> dump = {"# Interface IP Configuration", "pushd interface ip"};
  for (int i = 0; dump.size() < static_cast<std::size_t>(lines); ++i) {
    std::string name = "\"Connection " + std::to_string(i % 50) + "\"";
    dump.push_back("set address name=" + name + " source=static addr=10.0." +
                   std::to_string(i % 250) + ".1 mask=255.255.255.0");
    dump.push_back("set address name=" + name + " gateway=10.0.0.254 gwmetric=0");
    dump.push_back("set dns name=" + name + " source=static addr=10.0.0.53 register=PRIMARY");
    dump.push_back("add dns name=" + name + " addr=10.0.0.54");
    dump.push_back("set wins name=" + name + " source=static addr=none");
    dump.push_back("");
  }
  dump.resize(static_cast<std::size_t>(lines));
  return dump;
}

void BM_ParseDump10000Lines(benchmark::State& state) {
  auto dump = LargeDump(10000);
  for (auto _ : state) benchmark::DoNotOptimize(ParseInterfaceDump(dump));
}
BENCHMARK(BM_ParseDump10000Lines)->Unit(benchmark::kMillisecond);

class QuietObserver : public ApplyObserver {
 public:
  void SetBusyCursor(bool) override {}
  void ProgressRange(int, int) override {}
  void ProgressStage(int, const std::string&, bool) override {}
  void ProgressClose() override {}
  void ShowMailClientWarning(const std::string&) override {}
  void RunBrowserRestartNotice() override {}
};

void BM_ApplyProfileOnSimulatedHost(benchmark::State& state) {
  auto dir = std::filesystem::temp_directory_path() /
             ("lanvoy-bench-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(dir);
  {
    sim::SimPlatform platform(dir / "host");
    TAppExec netsh(platform.processes());
    netsh.SetExeName("netsh");
    netsh.SetWait(true);
    netsh.SetWindowState(wsMinimized);
    netsh.SetHideIfMinimized(true);
    QuietObserver observer;
    ProfileRecord p;
    p.LongLANDescription = "LAN-Verbindung";
    p.IP = "10.1.1.5";
    p.Subnet = "255.255.255.0";
    p.Gateway = "10.1.1.1";
    p.DNS = "10.1.1.2";
    p.IncludeHostModification = true;
    p.Hosts = {{"server", "10.1.1.9", "files"}};
    p.IncludeHostName = true;
    p.HostName = "BENCH";
    ApplyContext ctx{platform, dir.string() + "/", platform.system().WindowsDirectory(),
                     netsh,    observer,           std::chrono::milliseconds(0)};
    for (auto _ : state) benchmark::DoNotOptimize(ApplyProfile(p, false, ctx));
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ApplyProfileOnSimulatedHost)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lanvoy

BENCHMARK_MAIN();
