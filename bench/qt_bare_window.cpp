// The reference for bench/window_mapped.sh: the least a Qt program does to map a window (a
// toolkit start and one empty top-level window of the main window's size), and nothing else.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("bare"));
  window.resize(248, 313);
  window.show();
  return QApplication::exec();
}
