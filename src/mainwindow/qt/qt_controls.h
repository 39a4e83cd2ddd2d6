// Qt widgets as the window logic's controls: built from a window's layout, each wrapped in
// the interface of its kind, its signals forwarded to the logic's events.
#pragma once

#include <QDialog>
#include <QWidget>
#include <map>
#include <string>

#include "mainwindow/controls.h"
#include "mainwindow/layout.h"

class QMenu;

namespace lanvoy {

// The widget behind a control, for what the toolkit does with it (focus, menus).
class QtWidgetOf {
 public:
  virtual ~QtWidgetOf() = default;
  virtual QWidget* widget() const = 0;
};

struct QtBuilt {
  std::map<std::string, QWidget*> widgets;  // by name: every control and container
  std::map<std::string, QMenu*> menus;      // the popup menus and submenus
};

// Makes the widgets of the layout's controls in window, and their controls in set.
QtBuilt BuildQtControls(const WindowLayout& layout, QWidget* window, ControlSet& set);

// A window of its own made from a layout: its size, caption, font and controls; resized, its
// controls follow the borders they are anchored to.
class QtLayoutWindow : public QDialog {
 public:
  QtLayoutWindow(WindowLayout layout, QWidget* owner);
  ControlSet& Controls() { return controls_; }
  template <class W>
  W* WidgetNamed(const std::string& name) const {
    return qobject_cast<W*>(built_.widgets.at(name));
  }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  const WindowLayout layout_;
  ControlSet controls_;
  QtBuilt built_;
};

}  // namespace lanvoy
