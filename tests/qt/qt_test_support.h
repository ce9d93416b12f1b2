#pragma once

#include <QString>
#include <QTest>
#include <QWidget>
#include <functional>
#include <ostream>

// Readable failure messages for Qt text.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace corvane::testing {

// Runs the event loop until `condition` holds or the deadline passes.
inline bool WaitUntil(const std::function<bool()>& condition) {
  return QTest::qWaitFor(condition, 10000);
}

// Shows `window` and waits until it is active, so shortcuts and focus reach it.
inline bool ShowActive(QWidget& window) {
  window.show();
  window.activateWindow();
  return QTest::qWaitForWindowActive(&window);
}

}  // namespace corvane::testing
