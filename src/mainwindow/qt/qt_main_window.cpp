#include "mainwindow/qt/qt_main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QProxyStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolTip>
#include <thread>
#include <utility>

#include "app/qt/form_help.h"
#include "app/qt/form_start_bild.h"
#include "apply/qt/form_progress.h"
#include "components/qt/qt_notification_area.h"
#include "mainwindow/qt/qt_dispatcher.h"
#include "mainwindow/qt/qt_text.h"
#include "sysread/qt/form_net_details.h"

namespace lanvoy {

namespace {

// The application's hint delay: the style tells the application when to raise a hint.
class HintStyle : public QProxyStyle {
 public:
  HintStyle(const QString& base, int showMs) : QProxyStyle(base), showMs_(showMs) {}
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    if (hint == SH_ToolTip_WakeUpDelay) return showMs_;
    return QProxyStyle::styleHint(hint, option, widget, data);
  }

 private:
  int showMs_;
};

// What the user clicks or types while work runs is dropped, not kept for later: nothing
// starts twice. Painting, timers and the window manager's moves go on.
class InputHeldOff : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::Wheel:
      case QEvent::ContextMenu:
      case QEvent::Shortcut:
      case QEvent::ShortcutOverride:
      case QEvent::TouchBegin:
      case QEvent::TouchUpdate:
      case QEvent::TouchEnd:
        return true;
      default:
        return QObject::eventFilter(watched, event);
    }
  }
};

}  // namespace

QtMainWindow::QtMainWindow(NotificationArea* trayArea)
    : dispatcher_(std::make_unique<QtMainThreadDispatcher>()), trayArea_(trayArea) {
  const WindowLayout& layout = MainFormLayout();
  setObjectName(QString::fromStdString(layout.name));
  setWindowTitle(Q(layout.caption));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setFont(QFont(QString::fromStdString(layout.fontName), layout.fontPoints));
  setWindowIcon(QIcon(":/lanvoy/lanvoy.png"));
  built_ = BuildQtControls(layout, this, controls_);
  // All nine tabs fit in one row at the window's width.
  static_cast<QTabWidget*>(WidgetNamed("PageControl1"))
      ->tabBar()
      ->setStyleSheet(
          "QTabBar::tab { padding: 3px 6px; border: 1px solid #a0a0a0; border-bottom: none;"
          " margin-right: 1px; background: #e4e4e4; }"
          "QTabBar::tab:selected { background: palette(window); }"
          "QTabBar::tab:disabled { color: #909090; }");
  if (!trayArea_) {
    ownTrayArea_ = std::make_unique<QtNotificationArea>();
    trayArea_ = ownTrayArea_.get();
  }
  // The windows the program entry makes after this one, in its order.
  formProgress_ = new TFormProgress(this);
  formHelp_ = new TFormHelp(this);
}

QtMainWindow::~QtMainWindow() = default;

void QtMainWindow::SetApplicationHints(int showMs, int hideMs, uint32_t background) {
  for (QWidget* w : findChildren<QWidget*>()) w->setToolTipDuration(hideMs);
  static bool styled = false;  // the application's style, once
  if (!std::exchange(styled, true))
    QApplication::setStyle(new HintStyle(QApplication::style()->name(), showMs));
  QPalette palette = QToolTip::palette();
  palette.setColor(QPalette::ToolTipBase, QColor::fromRgb(background));
  palette.setColor(QPalette::ToolTipText, Qt::black);
  QToolTip::setPalette(palette);
}

void QtMainWindow::SetCaption(const std::string& caption) {
  setWindowTitle(Q(caption));
}

void QtMainWindow::Show() {
  show();
  raise();
}

void QtMainWindow::ShowNormal() {
  showNormal();
  raise();
  activateWindow();
}

void QtMainWindow::SetBusyCursor(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void QtMainWindow::RunAnswering(const std::function<void()>& work) {
  InputHeldOff held;
  qApp->installEventFilter(&held);
  answering_ = true;
  QEventLoop loop;
  // A quit queued before exec starts is handled by it.
  std::thread worker([&] {
    work();
    QMetaObject::invokeMethod(
        &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
  });
  loop.exec();
  worker.join();
  qApp->removeEventFilter(&held);
  answering_ = false;
  // A request to close the window that came meanwhile is answered now.
  if (std::exchange(closeAsked_, false))
    QMetaObject::invokeMethod(
        this, [this] { close(); }, Qt::QueuedConnection);
}

void QtMainWindow::FocusNext(Control& from) {
  auto* holder = dynamic_cast<QtWidgetOf*>(&from);
  if (!holder) return;
  QWidget* field = holder->widget();
  // As the Tab key: the next control in the tab order that takes the focus.
  for (QWidget* next = field->nextInFocusChain(); next && next != field;
       next = next->nextInFocusChain()) {
    if ((next->focusPolicy() & Qt::TabFocus) && next->isEnabled() && next->isVisibleTo(this)) {
      next->setFocus(Qt::TabFocusReason);
      return;
    }
  }
}

void QtMainWindow::Closed() {
  hide();
  emit ClosedForGood();
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
  if (answering_) {
    closeAsked_ = true;
    event->ignore();
  } else if (!OnCloseQuery || OnCloseQuery()) {
    event->accept();
    emit ClosedForGood();
  } else {
    event->ignore();
  }
}

void QtMainWindow::contextMenuEvent(QContextMenuEvent* event) {
  if (OnContextPopup) OnContextPopup(event->globalPos().x(), event->globalPos().y());
}

TIcon QtMainWindow::ProgramIcon() {
  return TIcon{":/lanvoy/lanvoy.png"};
}

MainThreadDispatcher& QtMainWindow::Dispatcher() {
  return *dispatcher_;
}

ProgressView& QtMainWindow::Progress() {
  return *formProgress_;
}

HelpView& QtMainWindow::Help() {
  return *formHelp_;
}

LanStateView& QtMainWindow::LanState() {
  if (!formNetDetails_) formNetDetails_ = new TFormNetDetails(this);
  return *formNetDetails_;
}

std::unique_ptr<SplashView> QtWindowFactory::CreateSplash() {
  return std::make_unique<TFormStartBild>();
}

std::unique_ptr<MainWindowView> QtWindowFactory::CreateMainWindow() {
  return std::make_unique<QtMainWindow>();
}

}  // namespace lanvoy
