// What the window's logic asks of a toolkit: the main window with its controls (built from
// the layout), the windows it owns, and the splash window of the start. Each toolkit (Qt,
// Win32, a recording one in tests) implements these; none of them decides anything.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "components/cool_tray_icon.h"
#include "components/main_thread.h"
#include "components/notification_area.h"
#include "mainwindow/controls.h"

namespace lanvoy {

// The progress window of an apply: no behaviour of its own.
class ProgressView {
 public:
  virtual ~ProgressView() = default;
  virtual void SetRange(int minimum, int maximum) = 0;
  // visible: shown centred over the main window (kept on its screen), in front, and painted
  // at once, since the apply blocks the message loop; otherwise hidden.
  virtual void ShowStage(int position, const std::string& label, bool visible) = 0;
  virtual void Close() = 0;  // hidden, not destroyed
};

// The progress window as the controls of its layout show it; the toolkit shows and hides it.
class LayoutProgressView : public ProgressView {
 public:
  void SetRange(int minimum, int maximum) override {
    ProgressControls().Get<ProgressBar>("ProgressBar1").SetRange(minimum, maximum);
  }
  void ShowStage(int position, const std::string& label, bool visible) override {
    ProgressControls().Get<ProgressBar>("ProgressBar1").SetPosition(position);
    ProgressControls().Get<Label>("LabelProgress").SetCaption(label);
    if (visible)
      ShowInFront();
    else
      HideWindow();
  }

 protected:
  virtual ControlSet& ProgressControls() = 0;
  virtual void HideWindow() = 0;
  // Centred over the main window when it was hidden, in front, painted now.
  virtual void ShowInFront() = 0;
};

// The text window of the LAN state view. Its lines come from a console program: 8-bit text
// in the OEM code page, shown as such. Its page "History" is the logic's, through the
// controls of its layout (NetDetailsFormLayout).
class LanStateView {
 public:
  virtual ~LanStateView() = default;
  virtual ControlSet& Controls() = 0;
  virtual void SetText(const std::string& text) = 0;  // lines ended by CR LF
  virtual void AppendLine(const std::string& line) = 0;
  virtual void ReplaceLastLine(const std::string& line) = 0;
  virtual void ShowModal() = 0;  // until OK, Esc or its close box hides it
};

// The help window: a fixed text, shown modally over the main window.
class HelpView {
 public:
  virtual ~HelpView() = default;
  virtual void ShowModal() = 0;
};

// The splash window: on screen from ShowNow until it is destroyed.
class SplashView {
 public:
  virtual ~SplashView() = default;
  virtual void ShowNow() = 0;  // centred on the screen, on top, painted at once
};

class MainWindowView {
 public:
  virtual ~MainWindowView() = default;

  // The controls of MainFormLayout(), by name.
  virtual ControlSet& Controls() = 0;

  // For the whole application: a hint shows after showMs, hides after hideMs, on this
  // background colour (0xRRGGBB).
  virtual void SetApplicationHints(int showMs, int hideMs, uint32_t background) = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void MoveTo(int left, int top) = 0;
  virtual void SetClientSize(int width, int height) = 0;
  virtual void Show() = 0;        // visible and in front
  virtual void ShowNormal() = 0;  // also out of the taskbar when minimized there
  virtual void Hide() = 0;
  virtual void Minimize() = 0;  // as the title bar's minimize box does
  virtual bool Visible() const = 0;
  virtual void Repaint() = 0;  // at once
  virtual void SetBusyCursor(bool busy) = 0;
  // Runs work on a thread of its own and returns when it has ended; meanwhile the windows
  // keep painting and can be moved, and the main window takes no input. work touches no
  // window and raises nothing.
  virtual void RunAnswering(const std::function<void()>& work) = 0;
  // The focus to the next control in the window's tab order, as the Tab key moves it.
  virtual void FocusNext(Control& from) = 0;
  // Ends the window for good: it goes, and with it the message loop.
  virtual void Closed() = 0;

  // A request to close the window (its close box, the system menu); true lets it close.
  std::function<bool()> OnCloseQuery;
  // A right click on the window's free area, at a point on the screen.
  std::function<void(int x, int y)> OnContextPopup;

  // Its components and windows.
  virtual TIcon ProgramIcon() = 0;  // the program's icon, for the tray
  virtual NotificationArea& TrayArea() = 0;
  virtual MainThreadDispatcher& Dispatcher() = 0;
  virtual ProgressView& Progress() = 0;
  virtual HelpView& Help() = 0;
  virtual LanStateView& LanState() = 0;  // made at the first call
};

// The windows of the program, made by the start-up in its order.
class WindowFactory {
 public:
  virtual ~WindowFactory() = default;
  virtual std::unique_ptr<SplashView> CreateSplash() = 0;
  virtual std::unique_ptr<MainWindowView> CreateMainWindow() = 0;
};

}  // namespace lanvoy
