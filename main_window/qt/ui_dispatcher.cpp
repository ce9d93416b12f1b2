#include "ui_dispatcher.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <utility>

namespace corvane::qt {

QtUiDispatcher::QtUiDispatcher(QObject& context)
    : m_uiThread(QCoreApplication::instance() != nullptr ? QCoreApplication::instance()->thread()
                                                         : context.thread()) {
  m_state->context = &context;
  // destroyed() is emitted on the UI thread before the context's pending
  // events are discarded; after this handler has run, no Post can reach the
  // dying object, and a Post already under way finishes before it.
  QObject::connect(&context, &QObject::destroyed, [state = m_state] {
    const std::lock_guard lock(state->mutex);
    state->context = nullptr;
  });
}

QtUiDispatcher::~QtUiDispatcher() {
  const std::lock_guard lock(m_state->mutex);
  m_state->context = nullptr;
}

bool QtUiDispatcher::IsUiThread() const { return QThread::currentThread() == m_uiThread; }

bool QtUiDispatcher::Post(std::function<void()> task) {
  if (!task) {
    return false;
  }
  const std::lock_guard lock(m_state->mutex);
  if (m_state->context == nullptr) {
    return false;
  }
  return QMetaObject::invokeMethod(
      m_state->context,
      [task = std::move(task)] {
        try {
          task();
        } catch (...) {
          // Nothing may cross Qt's event delivery; a task reports its own
          // failures.
        }
      },
      Qt::QueuedConnection);
}

}  // namespace corvane::qt
