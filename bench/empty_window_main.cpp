// The start-up floor: the toolkit's own cost of showing an empty window. With
// --one-label the window shows one line of text, which adds what any window
// with text pays once: loading the font database.
#include <QApplication>
#include <QLabel>
#include <QWidget>
#include <cstring>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  if (argc > 1 && std::strcmp(argv[1], "--one-label") == 0) {
    new QLabel(QStringLiteral("Seriale"), &window);
  }
  window.show();
  return QApplication::exec();
}
