// The console capture's way to the GUI thread: a blocking queued call into Qt's event loop.
#pragma once

#include <QObject>
#include <memory>

#include "components/main_thread.h"

namespace lanvoy {

class QtMainThreadDispatcher : public MainThreadDispatcher {
 public:
  QtMainThreadDispatcher();
  // Calls still queued are dropped and their workers released.
  ~QtMainThreadDispatcher() override;
  void InvokeSync(const std::function<void()>& fn) override;

 private:
  std::unique_ptr<QObject> context_;  // lives on the GUI thread
};

}  // namespace lanvoy
