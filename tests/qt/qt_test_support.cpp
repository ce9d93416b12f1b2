#include "tests/qt/qt_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>
#include <utility>

#include "main_window/qt/qt_msg_box.h"
#include "main_window/qt/qt_ui_dispatcher.h"
#include "reader_binding/reader_callback.h"

namespace corvane::testing {

qtui::FatalErrorHandler FailTestOnFatal() {
  return [](const std::exception& error) { ADD_FAILURE() << "fatal error: " << error.what(); };
}

ScopedDispatcher::ScopedDispatcher(qtui::FatalErrorHandler onFatal) {
  SetUiDispatcher(
      std::make_shared<qtui::QtUiDispatcher>(*QCoreApplication::instance(), std::move(onFatal)));
}

ScopedDispatcher::~ScopedDispatcher() { InstallDefaultDispatcher(); }

void InstallDefaultDispatcher() {
  SetUiDispatcher(
      std::make_shared<qtui::QtUiDispatcher>(*QCoreApplication::instance(), FailTestOnFatal()));
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
  return QTest::qWaitFor(condition, static_cast<int>(deadline.count()));
}

MessageBoxRecorder::MessageBoxRecorder() {
  qtui::SetMessageBoxHook([this](const QString& text) { m_texts.append(text); });
}

MessageBoxRecorder::~MessageBoxRecorder() { qtui::SetMessageBoxHook({}); }

bool ShowActive(QWidget& window) {
  window.show();
  window.activateWindow();
  return QTest::qWaitForWindowActive(&window);
}

}  // namespace corvane::testing
