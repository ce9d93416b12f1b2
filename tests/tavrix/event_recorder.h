// Records a reader's notifications, fetching each one's text from inside the
// notification the way the program does.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "tavrix/tavrix.h"

namespace tavrix::testing {

struct Notification {
  int32_t reader = 0;
  int32_t event = 0;
  int32_t lparam = 0;
  std::string text;  // card data for 7, error text for 6
};

class EventRecorder {
 public:
  // Fetches the text of a notification; by default through the entry points.
  using TextFetcher = std::function<std::string(int32_t reader, int32_t event)>;
  static std::string FetchThroughEntryPoints(int32_t reader, int32_t event) {
    char text[256] = {};
    int32_t length = sizeof text;
    int32_t result = TVX_FAILED;
    if (event == TVX_EVENT_CARD) result = TvxGetLastCardData(reader, text, &length);
    if (event == TVX_EVENT_ERROR) result = TvxGetLastError(reader, text, &length);
    if (result < 0) return {};
    return std::string(text, static_cast<std::size_t>(std::max(length - 1, 0)));
  }

  explicit EventRecorder(TextFetcher fetch = FetchThroughEntryPoints) : m_fetch(std::move(fetch)) {
    std::lock_guard lock(RegistryMutex());
    m_userData = s_nextUserData++;
    Registry()[m_userData] = this;
  }
  ~EventRecorder() {
    std::lock_guard lock(RegistryMutex());
    Registry().erase(m_userData);
  }
  EventRecorder(const EventRecorder&) = delete;
  EventRecorder& operator=(const EventRecorder&) = delete;

  // The function to give the library, and the value that finds this recorder.
  static int32_t TVX_CALL Notify(int32_t reader, int32_t event, int32_t lparam, int32_t userData) {
    // Held across the call, so a recorder cannot be destroyed under it.
    std::lock_guard lock(RegistryMutex());
    const auto found = Registry().find(userData);
    if (found != Registry().end()) found->second->Record(reader, event, lparam);
    return 0;
  }
  int32_t UserData() const { return m_userData; }

  // Runs inside each notification, after it is recorded.
  void OnNotify(std::function<void(const Notification&)> hook) {
    std::lock_guard lock(m_mutex);
    m_hook = std::move(hook);
  }

  // True once `count` notifications of `event` have come; false at the
  // deadline (generous: sanitizers slow everything down).
  bool WaitFor(int32_t event, std::size_t count = 1,
               std::chrono::milliseconds deadline = std::chrono::seconds(15)) {
    std::unique_lock lock(m_mutex);
    return m_arrived.wait_for(lock, deadline, [&] { return CountLocked(event) >= count; });
  }

  std::vector<Notification> Notifications() const {
    std::lock_guard lock(m_mutex);
    return m_notifications;
  }
  std::vector<int32_t> Events() const {
    std::vector<int32_t> events;
    for (const auto& n : Notifications()) events.push_back(n.event);
    return events;
  }
  std::size_t CountOf(int32_t event) const {
    std::lock_guard lock(m_mutex);
    return CountLocked(event);
  }

 private:
  // The library hands back only an integer, so recorders are found by it.
  static std::mutex& RegistryMutex() {
    static std::mutex mutex;
    return mutex;
  }
  static std::map<int32_t, EventRecorder*>& Registry() {
    static std::map<int32_t, EventRecorder*> recorders;
    return recorders;
  }

  std::size_t CountLocked(int32_t event) const {
    return static_cast<std::size_t>(
        std::count_if(m_notifications.begin(), m_notifications.end(),
                      [&](const Notification& n) { return n.event == event; }));
  }

  void Record(int32_t reader, int32_t event, int32_t lparam) {
    Notification notification{reader, event, lparam, m_fetch(reader, event)};
    std::function<void(const Notification&)> hook;
    {
      std::lock_guard lock(m_mutex);
      hook = m_hook;
    }
    // Before the notification is visible: a test that waits for it also sees
    // what the hook did.
    if (hook) hook(notification);
    {
      std::lock_guard lock(m_mutex);
      m_notifications.push_back(std::move(notification));
    }
    m_arrived.notify_all();
  }

  static inline int32_t s_nextUserData = 1000;
  int32_t m_userData = 0;
  TextFetcher m_fetch;
  mutable std::mutex m_mutex;
  std::condition_variable m_arrived;
  std::vector<Notification> m_notifications;
  std::function<void(const Notification&)> m_hook;
};

}  // namespace tavrix::testing
