// A notification area that keeps its icons in memory and records every call, with a menu to
// match. Like the system, it refuses to add an icon twice or to change or remove a missing
// one, and it loses all icons when the taskbar restarts.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "components/cool_tray_icon.h"
#include "components/notification_area.h"

namespace lanvoy::test {

class RecordingNotificationArea : public NotificationArea {
 public:
  struct Call {
    NotifyIconMessage message;
    NotifyIconData data;
    bool result;
  };

  bool NotifyIcon(NotifyIconMessage message, const NotifyIconData& data) override {
    std::pair<TrayWindow, uint32_t> key{data.hWnd, data.uID};
    bool there = icons.count(key) > 0;
    bool result = false;
    if (available) {
      switch (message) {
        case NotifyIconMessage::Add:
          result = !there;
          if (result) icons[key] = data;
          break;
        case NotifyIconMessage::Modify:
          result = there;
          if (result) icons[key] = data;
          break;
        case NotifyIconMessage::Delete:
          result = there;
          icons.erase(key);
          break;
      }
    }
    calls.push_back({message, data, result});
    return result;
  }

  TrayWindow CreateMessageWindow(TrayWindowProc& proc) override {
    TrayWindow window = ++lastWindow;
    windows[window] = &proc;
    ++windowsCreated;
    return window;
  }
  void DestroyMessageWindow(TrayWindow window) override {
    windows.erase(window);
    ++windowsDestroyed;
  }

  FileVersion CommonControlsVersion() override { return comctl32; }
  void AddTaskbarListener(TaskbarListener& listener) override { listeners.push_back(&listener); }
  void RemoveTaskbarListener(TaskbarListener& listener) override {
    listeners.erase(std::remove(listeners.begin(), listeners.end(), &listener), listeners.end());
  }

  std::optional<TrayPoint> CursorPos() override { return cursor; }
  TrayKeys KeyboardState() override { return keys; }
  void ForegroundApplication() override {
    ++foregrounds;
    if (pendingMessages) {
      auto run = std::move(pendingMessages);
      pendingMessages = nullptr;
      run();
    }
  }

  // The system sends an icon's callback message to its window; no value when no window
  // of that handle exists.
  std::optional<intptr_t> Send(const NotifyIconData& record, uint32_t message) {
    auto found = windows.find(record.hWnd);
    if (found == windows.end()) return std::nullopt;
    return found->second->WindowMessage(record.uCallbackMessage, record.uID, message);
  }

  // Explorer starts again: the tray is empty, then the broadcast goes out.
  void RestartTaskbar() {
    icons.clear();
    std::vector<TaskbarListener*> told = listeners;
    for (TaskbarListener* listener : told) listener->TaskbarCreated();
  }

  std::size_t Count(NotifyIconMessage message) const {
    return static_cast<std::size_t>(std::count_if(
        calls.begin(), calls.end(), [&](const Call& c) { return c.message == message; }));
  }

  bool available = true;  // false: a system without a tray, every call fails
  FileVersion comctl32{5, 82};
  std::optional<TrayPoint> cursor = TrayPoint{640, 480};
  TrayKeys keys;
  // Runs at the next ForegroundApplication, as a message already waiting would.
  std::function<void()> pendingMessages;

  std::map<std::pair<TrayWindow, uint32_t>, NotifyIconData> icons;
  std::vector<Call> calls;
  std::map<TrayWindow, TrayWindowProc*> windows;
  TrayWindow lastWindow = 0x1000;
  int windowsCreated = 0;
  int windowsDestroyed = 0;
  std::vector<TaskbarListener*> listeners;
  int foregrounds = 0;
};

class RecordingMenu : public TrayPopupMenu {
 public:
  struct Item {
    std::string caption;
    bool isDefault = false;
  };

  bool AutoPopup() const override { return autoPopup; }
  void SetAutoPopup(bool on) override { autoPopup = on; }
  void Popup(TrayPoint at) override { popups.push_back(at); }
  std::size_t ItemCount() const override { return items.size(); }
  bool IsDefaultItem(std::size_t index) const override { return items.at(index).isDefault; }
  void ClickItem(std::size_t index) override {
    clicked.push_back(items.at(index).caption);
    if (onClick) onClick(items.at(index).caption);
  }

  bool autoPopup = true;
  std::vector<Item> items;
  std::vector<TrayPoint> popups;
  std::vector<std::string> clicked;
  std::function<void(const std::string&)> onClick;
};

// Writes every event of the icon into log as a word: "down L", "up R", "click", ...
inline void RecordEvents(TCoolTrayIcon& icon, std::vector<std::string>& log) {
  auto name = [](const char* what, TMouseButton b) {
    return std::string(what) + (b == mbLeft ? " L" : b == mbRight ? " R" : " M");
  };
  icon.OnMouseDown = [&log, name](TCoolTrayIcon&, TMouseButton b, TShiftState, int, int) {
    log.push_back(name("down", b));
  };
  icon.OnMouseUp = [&log, name](TCoolTrayIcon&, TMouseButton b, TShiftState, int, int) {
    log.push_back(name("up", b));
  };
  icon.OnMouseMove = [&log](TCoolTrayIcon&, TShiftState, int, int) { log.push_back("move"); };
  icon.OnClick = [&log](TCoolTrayIcon&) { log.push_back("click"); };
  icon.OnDblClick = [&log](TCoolTrayIcon&) { log.push_back("dblclick"); };
  icon.OnBalloonHintClick = [&log](TCoolTrayIcon&) { log.push_back("balloon click"); };
  icon.OnBalloonHintHide = [&log](TCoolTrayIcon&) { log.push_back("balloon hide"); };
  icon.OnBalloonHintTimeout = [&log](TCoolTrayIcon&) { log.push_back("balloon timeout"); };
}

}  // namespace lanvoy::test
