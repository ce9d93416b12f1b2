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
#include <shared_mutex>
#include <string>
#include <vector>

#include "tavrix.h"

namespace tavrix::testing {

struct Notification {
  int32_t reader = 0;
  int32_t event = 0;
  int32_t lparam = 0;
  std::string text;  // card data for 7, error text for 6
};

class EventRecorder {
 public:
  using TextFetcher = std::function<std::string(int32_t reader, int32_t event)>;
  static std::string FetchThroughEntryPoints(int32_t reader, int32_t event) {
    char text[256] = {};
    int32_t length = sizeof text;
    const int32_t result = event == TVX_EVENT_CARD    ? TvxGetLastCardData(reader, text, &length)
                           : event == TVX_EVENT_ERROR ? TvxGetLastError(reader, text, &length)
                                                      : TVX_FAILED;
    return result < 0 ? "" : std::string(text, static_cast<std::size_t>(std::max(length - 1, 0)));
  }

  explicit EventRecorder(TextFetcher fetch = FetchThroughEntryPoints) : m_fetch(std::move(fetch)) {
    std::lock_guard lock(s_registryMutex);
    m_userData = s_nextUserData++;
    s_registry[m_userData] = this;
  }
  ~EventRecorder() {
    std::lock_guard lock(s_registryMutex);
    s_registry.erase(m_userData);
  }
  EventRecorder(const EventRecorder&) = delete;
  EventRecorder& operator=(const EventRecorder&) = delete;

  // The function to give the library; the library hands back only an
  // integer, UserData(), so recorders are found by it.
  static int32_t TVX_CALL Notify(int32_t reader, int32_t event, int32_t lparam, int32_t userData) {
    // Held across the call so no recorder dies under it; shared, so readers notify side by side.
    std::shared_lock lock(s_registryMutex);
    const auto found = s_registry.find(userData);
    if (found != s_registry.end()) found->second->Record({reader, event, lparam, {}});
    return 0;
  }
  int32_t UserData() const { return m_userData; }

  // Runs inside each notification, before the notification is visible: a
  // test that waits for it also sees what the hook did.
  void OnNotify(std::function<void(const Notification&)> hook) {
    std::lock_guard lock(m_mutex);
    m_hook = std::move(hook);
  }

  // True once `count` notifications of `event` have come; false at the
  // deadline (generous: sanitizers slow everything down).
  bool WaitFor(int32_t event, std::size_t count = 1) {
    std::unique_lock lock(m_mutex);
    return m_arrived.wait_for(lock, std::chrono::seconds(15),
                              [&] { return CountIn(m_notifications, event) >= count; });
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
  std::size_t CountOf(int32_t event) const { return CountIn(Notifications(), event); }

 private:
  static std::size_t CountIn(const std::vector<Notification>& notifications, int32_t event) {
    return static_cast<std::size_t>(std::count_if(notifications.begin(), notifications.end(),
                                                  [&](const auto& n) { return n.event == event; }));
  }

  void Record(Notification notification) {
    notification.text = m_fetch(notification.reader, notification.event);
    std::unique_lock lock(m_mutex);
    const auto hook = m_hook;
    lock.unlock();
    if (hook) hook(notification);
    lock.lock();
    m_notifications.push_back(std::move(notification));
    m_arrived.notify_all();
  }

  static inline std::shared_mutex s_registryMutex;
  static inline std::map<int32_t, EventRecorder*> s_registry;
  static inline int32_t s_nextUserData = 1000;
  int32_t m_userData = 0;
  TextFetcher m_fetch;
  mutable std::mutex m_mutex;
  std::condition_variable m_arrived;
  std::vector<Notification> m_notifications;
  std::function<void(const Notification&)> m_hook;
};

}  // namespace tavrix::testing
