// The one door through which the reader library's notifications enter.
//
// The library may call ReaderCallBack on any thread. Called on the UI thread it
// forwards straight to the registered target; called on any other thread it
// queues the four values for the UI thread and returns at once, so a TvxStop
// on the UI thread never waits on a notification that waits on the UI. The
// queue is bounded by what the window shows (notification_queue.h), so a storm
// of notifications does not grow memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "tavrix.h"

namespace corvane {

// Runs work on the UI thread; a front end provides one.
class UiDispatcher {
 public:
  virtual ~UiDispatcher() = default;
  virtual bool IsUiThread() const = 0;
  // Queues `task` to run later on the UI thread. Returns false when it could
  // not be queued (the task is then dropped).
  virtual bool Post(std::function<void()> task) = 0;
};

// What notifications are delivered to: the single window. It reports its own
// failures; nothing it throws could go anywhere but back into the library.
class NotificationTarget {
 public:
  virtual ~NotificationTarget() = default;
  virtual void CallBackBadge(int32_t HReader, int32_t Wparam, int32_t Lparam, int32_t UserData) = 0;
};

// Installs the front end's dispatcher (or none, with nullptr). A foreign-thread
// notification that finds no dispatcher is dropped.
void SetUiDispatcher(std::shared_ptr<UiDispatcher> dispatcher);

// Registers the window that receives notifications, or none. Call on the UI
// thread only; a notification that finds no window there is dropped.
void SetNotificationTarget(NotificationTarget* target);

// The two halves of StopReading, below.
void DeliverQueuedNotifications();
void DiscardQueuedNotifications();

// Stops reading through `stop`, the library's TvxStop, with the door's rule.
// What waits is delivered first, in order, on the UI thread: a badge read
// before the click still shows. Once the library has stopped, whatever still
// waits or is on its way in goes, whatever its handle: nothing that reached
// ReaderCallBack before then can change the window after Stop's status.
template <typename LibraryStop>
int32_t StopReading(LibraryStop&& stop) {
  DeliverQueuedNotifications();
  const int32_t result = stop();
  DiscardQueuedNotifications();
  return result;
}

// How many notifications wait for the UI thread.
std::size_t QueuedNotifications();

extern "C" int32_t TVX_CALL ReaderCallBack(int32_t HReader, int32_t Wparam, int32_t Lparam,
                                           int32_t UserData);

}  // namespace corvane
