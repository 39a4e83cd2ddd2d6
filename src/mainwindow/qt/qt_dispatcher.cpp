#include "mainwindow/qt/qt_dispatcher.h"

#include <QMetaObject>
#include <QThread>

namespace lanvoy {

QtMainThreadDispatcher::QtMainThreadDispatcher() : context_(std::make_unique<QObject>()) {}

QtMainThreadDispatcher::~QtMainThreadDispatcher() = default;

void QtMainThreadDispatcher::InvokeSync(const std::function<void()>& fn) {
  if (QThread::currentThread() == context_->thread()) {
    fn();  // a blocking queued call to its own thread would wait forever
    return;
  }
  QMetaObject::invokeMethod(
      context_.get(), [&fn] { fn(); }, Qt::BlockingQueuedConnection);
}

}  // namespace lanvoy
