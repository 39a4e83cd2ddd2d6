#include "components/qt/qt_notification_area.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QPointer>
#include <algorithm>
#include <climits>

namespace lanvoy {

using namespace tray;

namespace {

// The system keeps a balloon at least 10 and at most 30 seconds, whatever the record asks.
constexpr int kBalloonMinMs = 10000;
constexpr int kBalloonMaxMs = 30000;

QIcon IconOf(const TIcon& icon) {
  QIcon result;
  if (!icon.Empty()) result = QIcon(QString::fromStdString(icon.source));
  if (result.isNull()) {
    // An empty icon still takes its place in the tray, as the system's does.
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    result = QIcon(blank);
  }
  return result;
}

QSystemTrayIcon::MessageIcon MessageIconOf(uint32_t infoFlags) {
  switch (infoFlags) {
    case 1:
      return QSystemTrayIcon::Information;
    case 2:
      return QSystemTrayIcon::Warning;
    case 3:
      return QSystemTrayIcon::Critical;
    default:
      return QSystemTrayIcon::NoIcon;
  }
}

}  // namespace

std::vector<uint32_t> NotificationsOfActivation(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::Context:
      return {kWmRButtonDown, kWmRButtonUp};
    case QSystemTrayIcon::Trigger:
      return {kWmLButtonDown, kWmLButtonUp};
    case QSystemTrayIcon::DoubleClick:
      return {kWmLButtonDblClk};
    case QSystemTrayIcon::MiddleClick:
      return {kWmMButtonDown, kWmMButtonUp};
    case QSystemTrayIcon::Unknown:
      break;
  }
  return {};
}

QtNotificationArea::QtNotificationArea(QObject* parent, std::function<bool()> trayAvailable)
    : QObject(parent),
      trayAvailable_(std::move(trayAvailable)),
      balloonMinMs_(kBalloonMinMs),
      balloonMaxMs_(kBalloonMaxMs) {
  wasAvailable_ = Available();
  connect(&taskbarWatch_, &QTimer::timeout, this, &QtNotificationArea::CheckTaskbar);
  taskbarWatch_.start(2000);
}

QtNotificationArea::~QtNotificationArea() {
  taskbarWatch_.stop();
  for (auto& [key, entry] : icons_) {
    entry.icon->disconnect();
    entry.balloonTimer->disconnect();
    delete entry.icon;  // owns its timer
  }
}

bool QtNotificationArea::Available() const {
  return trayAvailable_ ? trayAvailable_() : QSystemTrayIcon::isSystemTrayAvailable();
}

void QtNotificationArea::SetTaskbarWatchInterval(int ms) {
  if (ms > 0)
    taskbarWatch_.start(ms);
  else
    taskbarWatch_.stop();
}

void QtNotificationArea::SetBalloonTimeLimits(int minMs, int maxMs) {
  balloonMinMs_ = minMs;
  balloonMaxMs_ = std::max(minMs, maxMs);
}

bool QtNotificationArea::NotifyIcon(NotifyIconMessage message, const NotifyIconData& data) {
  Key key{data.hWnd, data.uID};
  auto found = icons_.find(key);
  switch (message) {
    case NotifyIconMessage::Add: {
      if (found != icons_.end() || !Available()) return false;
      Entry entry;
      entry.icon = new QSystemTrayIcon(this);
      entry.balloonTimer = new QTimer(entry.icon);
      entry.balloonTimer->setSingleShot(true);
      // The icon is the context: its connections end with it.
      connect(entry.icon, &QSystemTrayIcon::activated, entry.icon,
              [this, key](QSystemTrayIcon::ActivationReason reason) {
                Activated(key.first, key.second, reason);
              });
      connect(entry.icon, &QSystemTrayIcon::messageClicked, entry.icon,
              [this, key] { MessageClicked(key.first, key.second); });
      connect(entry.balloonTimer, &QTimer::timeout, entry.icon,
              [this, key] { Deliver(key.first, key.second, kNinBalloonTimeout); });
      Entry& stored = icons_[key] = entry;
      Apply(key, stored, data);
      stored.icon->show();
      return true;
    }
    case NotifyIconMessage::Modify:
      if (found == icons_.end()) return false;
      Apply(key, found->second, data);
      return true;
    case NotifyIconMessage::Delete:
      if (found == icons_.end()) return false;
      Remove(found);
      return true;
  }
  return false;
}

void QtNotificationArea::Apply(const Key& key, Entry& entry, const NotifyIconData& data) {
  if (data.uFlags & kNifIcon) entry.icon->setIcon(IconOf(data.hIcon));
  if (data.uFlags & kNifTip) entry.icon->setToolTip(QString::fromStdString(data.szTip));
  if (!(data.uFlags & kNifInfo)) return;
  if (data.szInfo.empty()) {
    CloseBalloon(key, entry);
    return;
  }
  int ms = static_cast<int>(std::min<uint32_t>(data.uTimeout, INT_MAX));
  ms = std::clamp(ms, balloonMinMs_, balloonMaxMs_);
  entry.icon->showMessage(QString::fromStdString(data.szInfoTitle),
                          QString::fromStdString(data.szInfo), MessageIconOf(data.dwInfoFlags), ms);
  entry.balloonTimer->start(ms);
}

void QtNotificationArea::CloseBalloon(const Key& key, Entry& entry) {
  if (!entry.balloonTimer->isActive()) return;
  entry.balloonTimer->stop();
  // Qt has no call that closes a message; an empty one that ends at once replaces it.
  entry.icon->showMessage(QString(), QString(), QSystemTrayIcon::NoIcon, 1);
  DeliverLater(key.first, key.second, kNinBalloonHide);
}

void QtNotificationArea::Remove(std::map<Key, Entry>::iterator found) {
  Key key = found->first;
  Entry entry = found->second;
  icons_.erase(found);
  if (entry.balloonTimer->isActive()) DeliverLater(key.first, key.second, kNinBalloonHide);
  entry.balloonTimer->stop();
  entry.icon->disconnect();
  entry.icon->hide();
  // Removing may be asked from within one of the icon's own signals.
  entry.icon->deleteLater();
}

TrayWindow QtNotificationArea::CreateMessageWindow(TrayWindowProc& proc) {
  TrayWindow window = ++lastWindow_;
  windows_[window] = &proc;
  return window;
}

void QtNotificationArea::DestroyMessageWindow(TrayWindow window) {
  windows_.erase(window);
}

void QtNotificationArea::AddTaskbarListener(TaskbarListener& listener) {
  listeners_.push_back(&listener);
}

void QtNotificationArea::RemoveTaskbarListener(TaskbarListener& listener) {
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), &listener), listeners_.end());
}

std::optional<TrayPoint> QtNotificationArea::CursorPos() {
  QPoint at = QCursor::pos();
  return TrayPoint{at.x(), at.y()};
}

TrayKeys QtNotificationArea::KeyboardState() {
  Qt::KeyboardModifiers mods = QGuiApplication::queryKeyboardModifiers();
  TrayKeys keys;
  keys.shift = mods.testFlag(Qt::ShiftModifier);
  keys.ctrl = mods.testFlag(Qt::ControlModifier);
  keys.alt = mods.testFlag(Qt::AltModifier);
  return keys;
}

void QtNotificationArea::ForegroundApplication() {
  // A Qt menu takes the input itself once it opens; what is left is to let the events
  // already waiting run first.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QSystemTrayIcon* QtNotificationArea::TrayIconOf(TrayWindow window, uint32_t id) const {
  auto found = icons_.find({window, id});
  return found == icons_.end() ? nullptr : found->second.icon;
}

bool QtNotificationArea::Deliver(TrayWindow window, uint32_t id, uint32_t message) {
  auto found = windows_.find(window);
  if (found == windows_.end()) return false;
  // The procedure may destroy this area; nothing of it is touched afterwards.
  found->second->WindowMessage(kCallbackMessage, id, message);
  return true;
}

void QtNotificationArea::DeliverLater(TrayWindow window, uint32_t id, uint32_t message) {
  QTimer::singleShot(0, this, [this, window, id, message] { Deliver(window, id, message); });
}

void QtNotificationArea::Activated(TrayWindow window, uint32_t id,
                                   QSystemTrayIcon::ActivationReason reason) {
  QPointer<QtNotificationArea> self(this);
  for (uint32_t message : NotificationsOfActivation(reason)) {
    if (!self || !Deliver(window, id, message)) return;
  }
}

void QtNotificationArea::MessageClicked(TrayWindow window, uint32_t id) {
  auto found = icons_.find({window, id});
  if (found != icons_.end()) found->second.balloonTimer->stop();
  Deliver(window, id, kNinBalloonUserClick);
}

void QtNotificationArea::CheckTaskbar() {
  bool available = Available();
  bool appeared = available && !wasAvailable_;
  wasAvailable_ = available;
  if (!appeared) return;
  QPointer<QtNotificationArea> self(this);
  std::vector<TaskbarListener*> told = listeners_;
  for (TaskbarListener* listener : told) {
    if (!self) return;
    // A listener removed by an earlier one is not told.
    if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) continue;
    listener->TaskbarCreated();
  }
}

}  // namespace lanvoy
