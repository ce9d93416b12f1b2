#include "tests/qt/qt_test_support.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
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

struct ModalCloser::State {
  bool watching = true;
  std::vector<ClosedMessageBox> closed;

  void Schedule() {
    QTimer::singleShot(std::chrono::milliseconds(5), [this] { Check(); });
  }

  void Check() {
    if (!watching) {
      delete this;
      return;
    }
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        box != nullptr && box->isVisible()) {
      ClosedMessageBox seen;
      seen.title = box->windowTitle();
      seen.text = box->text();
      seen.icon = static_cast<int>(box->icon());
      seen.plainText = box->textFormat() == Qt::PlainText;
      for (QAbstractButton* button : box->buttons()) {
        seen.buttons.append(static_cast<int>(box->standardButton(button)));
      }
      closed.push_back(seen);
      if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
        ok->click();
      } else {
        box->reject();
      }
    }
    Schedule();
  }
};

// The state lives until the timer chain sees the closer gone, since a timer
// may still be pending when the closer is destroyed.
ModalCloser::ModalCloser() : m_state(new State) { m_state->Schedule(); }

ModalCloser::~ModalCloser() { m_state->watching = false; }

const std::vector<ClosedMessageBox>& ModalCloser::Closed() const { return m_state->closed; }

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
