// The window without a display, with the tray and the main thread of the tests: what the
// tray was asked to do is recorded, and calls for the main thread wait in a queue.
#pragma once

#include "mainwindow/memory_window.h"
#include "test_support/queue_dispatcher.h"
#include "test_support/recording_notification_area.h"

namespace lanvoy::test {

class RecordingWindow : public MemoryWindow {
 public:
  NotificationArea& TrayArea() override { return area; }
  MainThreadDispatcher& Dispatcher() override { return dispatcher; }
  RecordingNotificationArea area;
  QueueDispatcher dispatcher;
};

// Makes RecordingWindows for the program's start-up; the splash is only recorded.
class RecordingWindows : public MemoryWindows {
 public:
  RecordingWindow* last = nullptr;

 protected:
  std::unique_ptr<MemoryWindow> MakeWindow() override {
    auto window = std::make_unique<RecordingWindow>();
    last = window.get();
    return window;
  }
};

}  // namespace lanvoy::test
