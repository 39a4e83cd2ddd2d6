// Scripted stand-ins for the platform's processes and pipes: a pipe hands out its output in
// exactly the chunks a test queues, and a process runs until its output is drained.
#pragma once

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace lanvoy::test {

struct FakePipeState {
  std::mutex mutex;
  std::deque<std::string> chunks;  // what reads return, one chunk per read
  std::string written;
  bool readClosed = false;
  bool writeClosed = false;
};

class FakePipe : public platform::Pipe {
 public:
  explicit FakePipe(std::shared_ptr<FakePipeState> state) : state_(std::move(state)) {}
  bool Peek(char* buffer, uint32_t size, uint32_t& copied, uint32_t& available) override {
    std::lock_guard<std::mutex> lock(state_->mutex);
    copied = available = 0;
    if (state_->chunks.empty()) return true;
    const std::string& front = state_->chunks.front();
    available = static_cast<uint32_t>(front.size());
    copied = std::min(size, available);
    front.copy(buffer, copied);
    return true;
  }
  bool Read(char* buffer, uint32_t size, uint32_t& got) override {
    std::lock_guard<std::mutex> lock(state_->mutex);
    got = 0;
    if (state_->chunks.empty()) return false;
    std::string& front = state_->chunks.front();
    got = std::min(size, static_cast<uint32_t>(front.size()));
    front.copy(buffer, got);
    front.erase(0, got);
    if (front.empty()) state_->chunks.pop_front();
    return true;
  }
  bool Write(const char* data, uint32_t size, uint32_t& written) override {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->written.append(data, size);
    written = size;
    return true;
  }
  void CloseReadEnd() override {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->readClosed = true;
  }
  void CloseWriteEnd() override {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->writeClosed = true;
  }

 private:
  std::shared_ptr<FakePipeState> state_;
};

struct FakeProcessState {
  std::atomic<uint32_t> exitCode{0};
  std::atomic<bool> forever{false};  // runs until terminated
  std::atomic<bool> terminated{false};
  std::atomic<uint32_t> terminateCode{0xFFFF};
  std::atomic<int> waits{0};
  std::shared_ptr<FakePipeState> output;  // the program runs while this holds chunks
};

class FakeProcess : public platform::Process {
 public:
  explicit FakeProcess(std::shared_ptr<FakeProcessState> state) : state_(std::move(state)) {}
  uint32_t Handle() const override { return 4242; }
  bool Wait(uint32_t) override {
    ++state_->waits;
    return !Running();
  }
  uint32_t ExitCode() override { return Running() ? platform::kStillActive : Code(); }
  bool Terminate(uint32_t exitCode) override {
    state_->terminateCode = exitCode;
    state_->terminated = true;
    return true;
  }

 private:
  uint32_t Code() const {
    return state_->terminated ? state_->terminateCode.load() : state_->exitCode.load();
  }
  bool Running() const {
    if (state_->terminated) return false;
    if (state_->forever) return true;
    if (!state_->output) return false;
    std::lock_guard<std::mutex> lock(state_->output->mutex);
    return !state_->output->chunks.empty();
  }
  std::shared_ptr<FakeProcessState> state_;
};

class FakeProcesses : public platform::Processes {
 public:
  // The output pipe is the second pipe created for a run; the first is the input.
  std::unique_ptr<platform::Process> Start(const platform::StartInfo& info,
                                           uint32_t& error) override {
    std::lock_guard<std::mutex> lock(mutex);
    starts.push_back(info);
    if (startError != 0) {
      error = startError;
      return nullptr;
    }
    process->output = pipes.size() >= 2 ? pipes.back() : nullptr;
    if (process->output) {
      std::lock_guard<std::mutex> pipeLock(process->output->mutex);
      for (const std::string& chunk : script) process->output->chunks.push_back(chunk);
    }
    return std::make_unique<FakeProcess>(process);
  }
  std::unique_ptr<platform::Pipe> CreatePipe(uint32_t& error) override {
    std::lock_guard<std::mutex> lock(mutex);
    if (pipeFailsAt >= 0 && static_cast<int>(pipes.size()) == pipeFailsAt) {
      error = 8;
      return nullptr;
    }
    pipes.push_back(std::make_shared<FakePipeState>());
    return std::make_unique<FakePipe>(pipes.back());
  }
  bool SetCurrentDirectory(const std::string& dir, std::string& message) override {
    std::lock_guard<std::mutex> lock(mutex);
    directories.push_back(dir);
    message = chdirFailure;
    return chdirFailure.empty();
  }

  std::mutex mutex;
  std::vector<platform::StartInfo> starts;
  std::vector<std::shared_ptr<FakePipeState>> pipes;
  std::vector<std::string> directories;
  std::vector<std::string> script;  // the started program's output, chunk by chunk
  uint32_t startError = 0;
  int pipeFailsAt = -1;
  std::string chdirFailure;
  std::shared_ptr<FakeProcessState> process = std::make_shared<FakeProcessState>();
};

}  // namespace lanvoy::test
