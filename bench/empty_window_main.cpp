// The toolkit's own cost of showing a window: an empty one, which never loads
// the font database. Kept for the record beside the honest floor.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.show();
  return QApplication::exec();
}
