// Capturing a program that prints 100,000 lines: every line reaches the main thread, in
// order. The bench thread plays the main thread, pumping the synchronous hand-overs.
#include <benchmark/benchmark.h>

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>
#include <string>

#include "components/dos_command.h"
#include "platform/sim/processes.h"

namespace {

class PumpedDispatcher : public lanvoy::MainThreadDispatcher {
 public:
  void InvokeSync(const std::function<void()>& fn) override {
    std::unique_lock<std::mutex> lock(mutex_);
    const uint64_t ticket = ++queued_;
    queue_.push_back(&fn);
    changed_.notify_all();
    changed_.wait(lock, [&] { return done_ >= ticket; });
  }
  // Runs hand-overs until done() holds.
  template <typename Done>
  void PumpUntil(Done done) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!done()) {
      if (queue_.empty()) {
        changed_.wait_for(lock, std::chrono::milliseconds(1));
        continue;
      }
      const std::function<void()>* fn = queue_.front();
      queue_.pop_front();
      lock.unlock();
      (*fn)();
      lock.lock();
      ++done_;
      changed_.notify_all();
    }
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<const std::function<void()>*> queue_;
  uint64_t queued_ = 0;
  uint64_t done_ = 0;
};

void BM_Capture100000Lines(benchmark::State& state) {
  const std::filesystem::path root = std::filesystem::temp_directory_path() / "lanvoy-bench";
  std::filesystem::create_directories(root);
  lanvoy::sim::SimProcesses processes(root);
  PumpedDispatcher dispatcher;
  constexpr long kLines = 100000;
  for (auto _ : state) {
    lanvoy::TDosCommand dos(processes, dispatcher);
    long expected = 1;
    bool inOrder = true;
    dos.SetOnNewLine([&](lanvoy::TDosCommand&, const std::string& line, lanvoy::TOutputType type) {
      if (type != lanvoy::CompleteLine) return;
      inOrder = inOrder && line == "line " + std::to_string(expected);
      ++expected;
    });
    dos.SetCommandLine("lanvoy_test_printer --lines " + std::to_string(kLines));
    dos.Execute();
    dispatcher.PumpUntil([&] { return !dos.Running(); });
    if (!inOrder || expected != kLines + 1) state.SkipWithError("lines lost or out of order");
  }
  state.counters["lines"] = kLines;
}
BENCHMARK(BM_Capture100000Lines)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
