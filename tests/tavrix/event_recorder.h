// Records a reader's notifications, fetching each one's text from inside the
// notification the way the program does.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <vector>

#include "tavrix.h"

namespace tavrix::testing {

class Initialized : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(TvxInitialize(), TVX_OK); }
  void TearDown() override { TvxUninitialize(); }
};

// The card data of a card, the error text of an error, through the entry
// points; nothing for other events or when the library refuses.
inline std::optional<std::string> LastText(int32_t reader, int32_t event = TVX_EVENT_CARD) {
  char text[256];
  int32_t length = sizeof text;
  const auto fetch = event == TVX_EVENT_CARD    ? TvxGetLastCardData
                     : event == TVX_EVENT_ERROR ? TvxGetLastError
                                                : nullptr;
  if (!fetch || fetch(reader, text, &length) != TVX_OK) return std::nullopt;
  return std::string(text, static_cast<std::size_t>(length - 1));
}

struct Notification {
  int32_t reader, event, lparam;
  std::string text;  // LastText, as fetched inside the notification
};

class EventRecorder {
 public:
  EventRecorder() {
    std::lock_guard lock(s_registryMutex);
    s_registry[m_userData = s_nextUserData++] = this;
  }
  ~EventRecorder() {
    std::lock_guard lock(s_registryMutex);
    s_registry.erase(m_userData);
  }

  // The library hands back only an integer, so recorders are found by it.
  static int32_t TVX_CALL Notify(int32_t reader, int32_t event, int32_t lparam, int32_t userData) {
    // Held across the call so no recorder dies under it; shared, so readers notify side by side.
    std::shared_lock lock(s_registryMutex);
    const auto found = s_registry.find(userData);
    if (found != s_registry.end()) {
      found->second->Record({reader, event, lparam, LastText(reader, event).value_or("")});
    }
    return 0;
  }
  int32_t UserData() const { return m_userData; }

  // Starts a reader on `port` that notifies this recorder, and waits until it reads.
  int32_t Start(const std::string& port) {
    const int32_t reader = TvxStartCallBack(port.c_str(), &Notify, m_userData);
    EXPECT_GT(reader, 0) << port;
    EXPECT_TRUE(WaitFor(TVX_EVENT_READING));
    return reader;
  }

  // False after a deadline generous enough for sanitizers.
  bool WaitFor(int32_t event, std::size_t count = 1) {
    std::unique_lock lock(m_mutex);
    return m_arrived.wait_for(lock, std::chrono::seconds(15), [&] {
      const auto arrived = std::ranges::count(m_notifications, event, &Notification::event);
      return static_cast<std::size_t>(arrived) >= count;
    });
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

  // Runs inside each notification, before it is recorded: a test that waits
  // for the notification also sees what this did. Set before the reader starts.
  std::function<void(const Notification&)> onNotify;

 private:
  void Record(Notification notification) {
    if (onNotify) onNotify(notification);
    std::lock_guard lock(m_mutex);
    m_notifications.push_back(std::move(notification));
    m_arrived.notify_all();
  }

  static inline std::shared_mutex s_registryMutex;
  static inline std::map<int32_t, EventRecorder*> s_registry;
  static inline int32_t s_nextUserData = 1000;
  int32_t m_userData = 0;
  mutable std::mutex m_mutex;
  std::condition_variable m_arrived;
  std::vector<Notification> m_notifications;
};

}  // namespace tavrix::testing
