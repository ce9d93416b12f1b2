// A UI dispatcher that the test drives: posted work waits until the test
// drains it on the thread it plays the UI thread on.
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "notification_queue.h"
#include "reader_callback.h"

namespace corvane::testing {

class ScriptedDispatcher final : public UiDispatcher {
 public:
  std::function<bool()> onUiThread = [ui = std::this_thread::get_id()] {
    return std::this_thread::get_id() == ui;
  };
  std::atomic<bool> refuse = false;  // as a UI thread that is going or overwhelmed

  bool IsUiThread() const override { return onUiThread(); }
  bool Post(std::function<void()> task) override {
    const std::lock_guard lock(m_mutex);
    if (!refuse) m_tasks.push_back(std::move(task));
    return !refuse;
  }
  // Runs what is queued, and what that queues; returns how many tasks ran.
  int Drain() {
    for (int ran = 0;; ++ran) {
      std::unique_lock lock(m_mutex);
      if (m_tasks.empty()) return ran;
      const std::function<void()> task = std::move(m_tasks.front());
      m_tasks.pop_front();
      lock.unlock();
      task();
    }
  }

 private:
  std::mutex m_mutex;
  std::deque<std::function<void()>> m_tasks;
};

// For its lifetime, the door delivers through `dispatcher` to `deliver`.
class ScriptedDoor final : public NotificationTarget {
 public:
  explicit ScriptedDoor(std::function<void(const Notification&)> deliver)
      : m_deliver(std::move(deliver)) {
    SetUiDispatcher(dispatcher);
    SetNotificationTarget(this);
  }
  ~ScriptedDoor() override {
    SetNotificationTarget(nullptr);
    SetUiDispatcher(nullptr);
  }
  void CallBackBadge(int32_t HReader, int32_t Wparam, int32_t Lparam, int32_t UserData) override {
    m_deliver({HReader, Wparam, Lparam, UserData});
  }
  const std::shared_ptr<ScriptedDispatcher> dispatcher = std::make_shared<ScriptedDispatcher>();

 private:
  std::function<void(const Notification&)> m_deliver;
};

}  // namespace corvane::testing
