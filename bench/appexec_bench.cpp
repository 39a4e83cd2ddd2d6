// Starting a trivial program through the process runner and waiting for its end.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "components/appexec.h"
#include "platform/sim/processes.h"

namespace {

void BM_StartAndWait(benchmark::State& state) {
  const std::filesystem::path root = std::filesystem::temp_directory_path() / "lanvoy-bench";
  std::filesystem::create_directories(root);
  lanvoy::sim::SimProcesses processes(root);
  lanvoy::TAppExec exec(processes);
  exec.SetExeName("lanvoy_test_printer");
  exec.SetWait(true);
  exec.SetWindowState(lanvoy::wsMinimized);
  exec.SetHideIfMinimized(true);
  for (auto _ : state) {
    exec.Execute();
    if (exec.ErrNo() != 0) state.SkipWithError("the program did not run");
  }
}
BENCHMARK(BM_StartAndWait)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
