// The notifications waiting for the UI thread, bounded.
//
// A library that notifies faster than the UI thread can paint must neither
// grow memory without end nor keep the operator's clicks waiting behind a
// backlog. So a new notification equal to one still waiting (the same four
// values) takes that one's place at the back of the queue, and the waiting
// one is dropped. The window ends in the same state as after the full
// sequence: each notification's last occurrence keeps its order among the
// others, and the card and error texts are fetched at delivery, where the
// fetch answers the latest. A repeated error shows its message once.
//
// That leaves at most one entry per distinct notification. For a library
// whose values never repeat, kCapacity caps the queue: at the cap the oldest
// waiting notification is dropped to make room, since the newest tell the
// most about the reader now.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

namespace corvane {

struct Notification {
  int32_t HReader;
  int32_t Wparam;
  int32_t Lparam;
  int32_t UserData;
  bool operator==(const Notification&) const = default;
};

class NotificationQueue {
 public:
  static constexpr std::size_t kCapacity = 1024;

  // Queues `notification` by the rule above. True when the caller must
  // schedule a delivery on the UI thread: none is scheduled yet.
  bool Push(const Notification& notification);

  // The next notification to deliver, if any. `more` tells whether others
  // wait behind it, in which case a delivery stays scheduled; otherwise the
  // next Push schedules one.
  std::optional<Notification> Pop(bool& more);

  // A delivery could not be scheduled: the next Push tries again.
  void Unschedule();

  // Forgets what waits from `reader`: it has been stopped.
  void DropReader(int32_t reader);
  // Forgets everything and schedules nothing: the UI thread is going.
  void DropAll();

  std::size_t Size() const;

 private:
  mutable std::mutex m_mutex;
  std::deque<Notification> m_waiting;  // guarded by m_mutex
  bool m_scheduled = false;            // guarded by m_mutex
};

}  // namespace corvane
