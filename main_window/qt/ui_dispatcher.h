// Hands work from the reader library's threads to the Qt UI thread.
#pragma once

#include <functional>
#include <memory>
#include <mutex>

#include "reader_callback.h"

class QObject;
class QThread;

namespace corvane::qt {

class QtUiDispatcher final : public UiDispatcher {
 public:
  // Create on the UI thread. Posted work runs in the event loop of `context`,
  // which must live on the UI thread; once `context` is destroyed, Post
  // refuses work.
  explicit QtUiDispatcher(QObject& context);
  ~QtUiDispatcher() override;
  QtUiDispatcher(const QtUiDispatcher&) = delete;
  QtUiDispatcher& operator=(const QtUiDispatcher&) = delete;

  bool IsUiThread() const override;
  bool Post(std::function<void()> task) override;

 private:
  // Shared with the context's destroyed() handler, which may run after this
  // dispatcher is gone.
  struct ContextState {
    std::mutex mutex;
    QObject* context = nullptr;
  };

  QThread* m_uiThread = nullptr;
  std::shared_ptr<ContextState> m_state = std::make_shared<ContextState>();
};

}  // namespace corvane::qt
