// Helpers for driving real Qt windows in tests.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <functional>
#include <memory>
#include <ostream>

#include "fatal_error.h"
#include "qt_msg_box.h"
#include "qt_ui_dispatcher.h"
#include "reader_callback.h"

// Readable failure messages for Qt text.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace corvane::testing {

// A fatal error handler that fails the running test.
inline qtui::FatalErrorHandler FailTestOnFatal() {
  return [](const std::exception& error) { ADD_FAILURE() << "fatal error: " << error.what(); };
}

// Installs a Qt dispatcher whose posted work reports to `onFatal`: by default
// one that fails the test.
inline void InstallDispatcher(qtui::FatalErrorHandler onFatal = FailTestOnFatal()) {
  SetUiDispatcher(
      std::make_shared<qtui::QtUiDispatcher>(*QCoreApplication::instance(), std::move(onFatal)));
}

// A dispatcher reporting to `onFatal` while it exists, then the default again.
struct ScopedDispatcher {
  explicit ScopedDispatcher(qtui::FatalErrorHandler onFatal) { InstallDispatcher(onFatal); }
  ~ScopedDispatcher() { InstallDispatcher(); }
};

// Runs the event loop until `condition` holds or a generous deadline passes.
inline bool WaitUntil(const std::function<bool()>& condition) {
  return QTest::qWaitFor(condition, 10000);
}

// Records the texts of message boxes shown through the program's one message
// box function, without showing them, while it exists.
class MessageBoxRecorder {
 public:
  MessageBoxRecorder() {
    qtui::SetMessageBoxHook([this](const QString& text) { m_texts.append(text); });
  }
  ~MessageBoxRecorder() { qtui::SetMessageBoxHook({}); }
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  const QStringList& Texts() const { return m_texts; }

 private:
  QStringList m_texts;
};

// Shows `window` and waits until it is active, so shortcuts and focus reach it.
inline bool ShowActive(QWidget& window) {
  window.show();
  window.activateWindow();
  return QTest::qWaitForWindowActive(&window);
}

}  // namespace corvane::testing
