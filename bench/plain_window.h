// The floor for start-up and idle cost: the window's ten widgets with their
// captions, geometry and font rule, and nothing behind them: no reader
// library, no window logic. What the program costs beyond this is its own.
#pragma once

#include <QWidget>
#include <memory>

namespace corvane::bench {

// Needs a QApplication. The window is hidden; each widget is named as in the
// layout table, and Start has the focus, as in the program.
std::unique_ptr<QWidget> MakePlainWindow();

}  // namespace corvane::bench
