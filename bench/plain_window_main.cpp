// The start-up floor: the window's ten widgets and nothing behind them
// (plain_window.h), shown, with the marker of its first exposure.
#include <QApplication>

#include "plain_window.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const std::unique_ptr<QWidget> window = corvane::bench::MakePlainWindow();
  window->show();
  return QApplication::exec();
}
