// The floor of the Qt figures: Corvane's window as the front end builds it
// from the layout table, and its loop, with nothing behind it: no Form1, no
// Module1, no reader library.
#include <QApplication>

#include "qt_front_end.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  corvane::qt::QtFrontEnd window;
  window.Show();
  return window.RunLoop();
}
