// The yardstick of the window's start: a Qt program that shows one empty window of the main
// window's size, titled "Empty", and runs its message loop.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle("Empty");
  window.resize(325, 174);
  window.show();
  return QApplication::exec();
}
