// Records a reader's notifications, fetching each one's text from inside the
// notification the way the program does.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
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
  static std::string FetchThroughEntryPoints(int32_t reader, int32_t event);

  explicit EventRecorder(TextFetcher fetch = FetchThroughEntryPoints);
  ~EventRecorder();
  EventRecorder(const EventRecorder&) = delete;
  EventRecorder& operator=(const EventRecorder&) = delete;

  // The function to give the library, and the value that finds this recorder.
  static int32_t TVX_CALL Notify(int32_t reader, int32_t event, int32_t lparam, int32_t userData);
  int32_t UserData() const { return m_userData; }

  // Runs inside each notification, after it is recorded.
  void OnNotify(std::function<void(const Notification&)> hook);

  // True once `count` notifications of `event` have come; false at the
  // deadline (generous: sanitizers slow everything down).
  bool WaitFor(int32_t event, std::size_t count = 1,
               std::chrono::milliseconds deadline = std::chrono::seconds(15));

  std::vector<Notification> Notifications() const;
  std::vector<int32_t> Events() const;
  std::size_t CountOf(int32_t event) const;

 private:
  void Record(int32_t reader, int32_t event, int32_t lparam);

  const int32_t m_userData;
  TextFetcher m_fetch;
  mutable std::mutex m_mutex;
  std::condition_variable m_arrived;
  std::vector<Notification> m_notifications;
  std::function<void(const Notification&)> m_hook;
};

}  // namespace tavrix::testing
