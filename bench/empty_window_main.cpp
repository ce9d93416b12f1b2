// The start-up floor: the toolkit's own cost of showing an empty window.
#include <QApplication>
#include <QWidget>

#include "bench/expose_marker.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  corvane::bench::MarkFirstExposure(app);
  QWidget window;
  window.show();
  return QApplication::exec();
}
