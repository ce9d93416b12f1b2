// The notifications waiting for the UI thread, bounded by what the window shows.
//
// The window uses neither Lparam nor UserData and fetches card and error texts
// when it delivers, so a waiting notification's effect depends only on its
// reader and its event's class (5, 6, 7, 8, 9, or any other code, which all show
// "Codice sconosciuto"). A new notification of the same reader and class takes
// the waiting one's place at the back of the queue: each class's last
// occurrence keeps its order among the others, and the window ends as after the
// full sequence. A repeated error shows its message once.
//
// That leaves at most six entries a reader. Only a library that invents handles
// reaches kCapacity; there a status-only entry goes first, since a later status
// overwrites it anyway, and a card or an error only when nothing else waits.
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

  // Queues `notification` by the rule above, unless it entered the door before
  // the last Discard (`epoch` older than Epoch()). True when the caller must
  // schedule a delivery on the UI thread: none is scheduled yet.
  bool Push(const Notification& notification, uint64_t epoch);

  // The next notification for the scheduled delivery, if any. `more` tells
  // whether others wait behind it, in which case a delivery stays scheduled;
  // otherwise the next Push schedules one.
  std::optional<Notification> Pop(bool& more);
  // The next notification, taken out of turn; a delivery already scheduled
  // stays so and finds what is left.
  std::optional<Notification> TakeNext();

  // A delivery could not be scheduled: the next Push tries again.
  void Unschedule();

  // Forgets what waits, and whatever is still on its way into the queue: a
  // scheduled delivery finds nothing.
  void Discard();
  // Forgets everything and schedules nothing: the UI thread is going.
  void DropAll();

  // Stamps a notification as it enters the door.
  uint64_t Epoch() const;
  std::size_t Size() const;

 private:
  mutable std::mutex m_mutex;
  std::deque<Notification> m_waiting;  // guarded by m_mutex
  bool m_scheduled = false;            // guarded by m_mutex
  uint64_t m_epoch = 0;                // guarded by m_mutex
};

}  // namespace corvane
