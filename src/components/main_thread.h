// The one way the console capture's worker reaches the main thread: a synchronous call.
// The GUI implements it with its event loop; tests with a queue their thread pumps.
#pragma once

#include <functional>

namespace lanvoy {

class MainThreadDispatcher {
 public:
  virtual ~MainThreadDispatcher() = default;
  // Runs fn on the main thread and returns once it has run. Called from worker threads
  // only; the dispatcher must outlive every component that calls it.
  virtual void InvokeSync(const std::function<void()>& fn) = 0;
};

}  // namespace lanvoy
