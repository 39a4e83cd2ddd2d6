// A main-thread dispatcher for tests: worker calls wait in a queue until the test's thread
// pumps them. Each call carries its own completion state, so a worker finishing its wait
// touches nothing of the dispatcher.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "components/main_thread.h"

namespace lanvoy::test {

class QueueDispatcher : public MainThreadDispatcher {
 public:
  void InvokeSync(const std::function<void()>& fn) override {
    auto call = std::make_shared<Call>();
    call->fn = &fn;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      queue_.push_back(call);
      arrived_.notify_all();
    }
    std::unique_lock<std::mutex> lock(call->mutex);
    call->cv.wait(lock, [&] { return call->done; });
  }

  // Runs queued calls on this thread until pred holds (checked between calls) or the time
  // is up. Returns whether pred held.
  bool PumpUntil(const std::function<bool()>& pred,
                 std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!pred()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      RunOne(std::chrono::milliseconds(2));
    }
    return true;
  }

  // Runs calls until none arrives for quiet.
  void PumpFor(std::chrono::milliseconds span) {
    const auto deadline = std::chrono::steady_clock::now() + span;
    while (std::chrono::steady_clock::now() < deadline) RunOne(std::chrono::milliseconds(2));
  }

  size_t Waiting() {
    std::lock_guard<std::mutex> lock(mutex_);
    return queue_.size();
  }

 private:
  struct Call {
    const std::function<void()>* fn = nullptr;
    std::mutex mutex;
    std::condition_variable cv;
    bool done = false;
  };

  void RunOne(std::chrono::milliseconds wait) {
    std::shared_ptr<Call> call;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      if (!arrived_.wait_for(lock, wait, [&] { return !queue_.empty(); })) return;
      call = queue_.front();
      queue_.pop_front();
    }
    (*call->fn)();
    std::lock_guard<std::mutex> lock(call->mutex);
    call->done = true;
    call->cv.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<std::shared_ptr<Call>> queue_;
};

}  // namespace lanvoy::test
