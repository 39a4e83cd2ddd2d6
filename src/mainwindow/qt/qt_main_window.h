// The main window on Qt: the widgets of MainFormLayout(), the windows it owns, and what the
// window's logic asks of a window. It decides nothing; TMainForm does.
#pragma once

#include <QWidget>
#include <memory>

#include "mainwindow/main_window_view.h"
#include "mainwindow/qt/qt_controls.h"

namespace lanvoy {

class TFormHelp;
class TFormNetDetails;
class TFormProgress;
class QtMainThreadDispatcher;
class QtNotificationArea;

class QtMainWindow : public QWidget, public MainWindowView {
  Q_OBJECT
 public:
  // trayArea: where the tray icon goes; the desktop's notification area when null.
  explicit QtMainWindow(NotificationArea* trayArea = nullptr);
  ~QtMainWindow() override;

  ControlSet& Controls() override { return controls_; }
  void SetApplicationHints(int showMs, int hideMs, uint32_t background) override;
  void SetCaption(const std::string& caption) override;
  void MoveTo(int left, int top) override { move(left, top); }
  void SetClientSize(int width, int height) override { setFixedSize(width, height); }
  void Show() override;
  void ShowNormal() override;
  void Hide() override { hide(); }
  void Minimize() override { showMinimized(); }
  bool Visible() const override { return isVisible(); }
  void Repaint() override { repaint(); }
  void SetBusyCursor(bool busy) override;
  void RunAnswering(const std::function<void()>& work) override;
  void FocusNext(Control& from) override;
  void Closed() override;
  TIcon ProgramIcon() override;
  NotificationArea& TrayArea() override { return *trayArea_; }
  MainThreadDispatcher& Dispatcher() override;
  ProgressView& Progress() override;
  HelpView& Help() override;
  LanStateView& LanState() override;

  // The widget of a control of the layout, by its name.
  QWidget* WidgetNamed(const std::string& name) const { return built_.widgets.at(name); }
  TFormProgress* FormProgress() const { return formProgress_; }
  TFormNetDetails* FormNetDetails() const { return formNetDetails_; }

 signals:
  // The window was closed for good: the program ends (also from the tray, where the
  // window is hidden and closing it would not end the message loop by itself).
  void ClosedForGood();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  ControlSet controls_;
  QtBuilt built_;
  // The capture's hand-overs go through the dispatcher: it must outlive the capture.
  std::unique_ptr<QtMainThreadDispatcher> dispatcher_;
  std::unique_ptr<QtNotificationArea> ownTrayArea_;
  NotificationArea* trayArea_;
  TFormProgress* formProgress_ = nullptr;
  TFormHelp* formHelp_ = nullptr;
  TFormNetDetails* formNetDetails_ = nullptr;
  bool answering_ = false;   // RunAnswering's work runs
  bool closeAsked_ = false;  // and the window was asked to close meanwhile
};

// The windows of the program on Qt.
class QtWindowFactory : public WindowFactory {
 public:
  std::unique_ptr<SplashView> CreateSplash() override;
  std::unique_ptr<MainWindowView> CreateMainWindow() override;
};

}  // namespace lanvoy
