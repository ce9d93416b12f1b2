// Helpers for driving real Qt windows in tests.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QTest>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <ostream>

// Readable failure messages for Qt text.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace corvane::testing {

// Runs the event loop until `condition` holds or a generous deadline passes.
inline bool WaitUntil(const std::function<bool()>& condition) {
  return QTest::qWaitFor(condition, 10000);
}

// Shows `window` and waits until it is active, so shortcuts and focus reach it.
inline bool ShowActive(QWidget& window) {
  window.show();
  window.activateWindow();
  return QTest::qWaitForWindowActive(&window);
}

// Runs `work` on a thread of its own, and `meanwhile` on this one. A thread
// still running 10 s later ends the test program with a message, rather than
// at CTest's limit.
inline void OnAnotherThread(std::function<void()> work,
                            const std::function<void()>& meanwhile = {}) {
  auto done = std::async(std::launch::async, std::move(work));
  if (meanwhile) meanwhile();
  if (done.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    std::fputs("a thread of the test still runs after 10 s\n", stderr);
    std::abort();
  }
}

}  // namespace corvane::testing
