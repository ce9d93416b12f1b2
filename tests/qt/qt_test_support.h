// Helpers for driving real Qt windows in tests.
#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <ostream>

#include "main_window/qt/fatal_error.h"

class QWidget;

// Readable failure messages for Qt text.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace corvane::testing {

inline constexpr std::chrono::milliseconds kGenerousDeadline{10000};

// A fatal error handler that fails the running test.
qtui::FatalErrorHandler FailTestOnFatal();

// Installs a Qt dispatcher whose posted work reports to `onFatal`, and puts
// back one that fails the test when it goes.
class ScopedDispatcher {
 public:
  explicit ScopedDispatcher(qtui::FatalErrorHandler onFatal);
  ~ScopedDispatcher();
  ScopedDispatcher(const ScopedDispatcher&) = delete;
  ScopedDispatcher& operator=(const ScopedDispatcher&) = delete;
};

// Installs the dispatcher the tests run with by default.
void InstallDefaultDispatcher();

// Runs the event loop until `condition` holds or the deadline passes; returns
// whether it holds.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds deadline = kGenerousDeadline);

// Records the texts of message boxes shown through the program's one message
// box function, without showing them, while it exists.
class MessageBoxRecorder {
 public:
  MessageBoxRecorder();
  ~MessageBoxRecorder();
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  const QStringList& Texts() const { return m_texts; }

 private:
  QStringList m_texts;
};

// Shows `window` and waits until it is the active window, so keyboard
// shortcuts and focus reach it.
bool ShowActive(QWidget& window);

}  // namespace corvane::testing
