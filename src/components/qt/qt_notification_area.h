// The notification area on Qt: every icon record is a QSystemTrayIcon. Qt's activations and
// balloon clicks come back to the hidden window's procedure as the mouse and balloon
// notifications of the system; a balloon's time-out and its closing are told the same way.
// Without a tray (QSystemTrayIcon::isSystemTrayAvailable() false) adding an icon fails, and
// a tray that appears later is announced as a re-created taskbar.
#pragma once

#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "components/notification_area.h"

namespace lanvoy {

// The notifications the system would send for one Qt activation, in their order.
std::vector<uint32_t> NotificationsOfActivation(QSystemTrayIcon::ActivationReason reason);

class QtNotificationArea : public QObject, public NotificationArea {
  Q_OBJECT

 public:
  // trayAvailable decides whether a tray is there; QSystemTrayIcon's own answer by default.
  explicit QtNotificationArea(QObject* parent = nullptr, std::function<bool()> trayAvailable = {});
  ~QtNotificationArea() override;

  bool NotifyIcon(NotifyIconMessage message, const NotifyIconData& data) override;
  TrayWindow CreateMessageWindow(TrayWindowProc& proc) override;
  void DestroyMessageWindow(TrayWindow window) override;
  // Qt follows the tray host itself; its re-creation is always announced.
  FileVersion CommonControlsVersion() override { return {6, 0}; }
  void AddTaskbarListener(TaskbarListener& listener) override;
  void RemoveTaskbarListener(TaskbarListener& listener) override;
  std::optional<TrayPoint> CursorPos() override;
  TrayKeys KeyboardState() override;
  void ForegroundApplication() override;

  // The Qt icon of a record, or null while the record has none.
  QSystemTrayIcon* TrayIconOf(TrayWindow window, uint32_t id) const;

  // How often the tray's availability is checked, in milliseconds; 0 stops the checks.
  void SetTaskbarWatchInterval(int ms);
  // How long a balloon may stay, in milliseconds; the record's time-out is kept within.
  // The system's limits, 10 to 30 seconds, by default.
  void SetBalloonTimeLimits(int minMs, int maxMs);

 public slots:
  // One activation of a record's icon, told to its window as the system's notifications.
  void Activated(TrayWindow window, uint32_t id, QSystemTrayIcon::ActivationReason reason);
  void MessageClicked(TrayWindow window, uint32_t id);
  // Tells the listeners when a tray has appeared since the last check.
  void CheckTaskbar();

 private:
  struct Entry {
    QSystemTrayIcon* icon = nullptr;
    QTimer* balloonTimer = nullptr;  // runs while a balloon is shown
  };
  using Key = std::pair<TrayWindow, uint32_t>;

  bool Available() const;
  void Apply(const Key& key, Entry& entry, const NotifyIconData& data);
  void CloseBalloon(const Key& key, Entry& entry);
  void Remove(std::map<Key, Entry>::iterator found);
  // Sends one notification to the record's window; false when the window is gone.
  bool Deliver(TrayWindow window, uint32_t id, uint32_t message);
  void DeliverLater(TrayWindow window, uint32_t id, uint32_t message);

  std::function<bool()> trayAvailable_;
  std::map<Key, Entry> icons_;
  std::map<TrayWindow, TrayWindowProc*> windows_;
  TrayWindow lastWindow_ = 0;
  std::vector<TaskbarListener*> listeners_;
  QTimer taskbarWatch_;
  bool wasAvailable_ = false;
  int balloonMinMs_;
  int balloonMaxMs_;
};

}  // namespace lanvoy
