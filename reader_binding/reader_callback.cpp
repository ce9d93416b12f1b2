#include "reader_callback.h"

#include <mutex>
#include <utility>

#include "notification_queue.h"

namespace corvane {
namespace {

std::mutex g_dispatcherMutex;
std::shared_ptr<UiDispatcher> g_dispatcher;  // guarded by g_dispatcherMutex
NotificationTarget* g_target = nullptr;      // touched on the UI thread only
NotificationQueue g_waiting;

std::shared_ptr<UiDispatcher> CurrentDispatcher() {
  std::lock_guard lock(g_dispatcherMutex);
  return g_dispatcher;
}

// Runs on the UI thread. A window closed while the notification was queued is
// gone by now: the notification is dropped rather than raising a new window.
void Deliver(int32_t HReader, int32_t Wparam, int32_t Lparam, int32_t UserData) noexcept {
  try {
    if (g_target != nullptr) g_target->CallBackBadge(HReader, Wparam, Lparam, UserData);
  } catch (...) {
    // The target reports its own failures; this one had nowhere to go.
  }
}

// One queued delivery on the UI thread: the next waiting notification. The
// delivery after it is scheduled first, so that a modal box this one shows
// does not hold back the others. Each delivery is a task of its own, so the
// dispatcher decides what runs between two (the operator's input first).
void DeliverNext(const std::shared_ptr<UiDispatcher>& dispatcher) {
  bool more = false;
  const std::optional<Notification> next = g_waiting.Pop(more);
  if (!next) return;
  if (more && !dispatcher->Post([dispatcher] { DeliverNext(dispatcher); })) g_waiting.Unschedule();
  Deliver(next->HReader, next->Wparam, next->Lparam, next->UserData);
}

}  // namespace

void SetUiDispatcher(std::shared_ptr<UiDispatcher> dispatcher) {
  std::lock_guard lock(g_dispatcherMutex);
  g_dispatcher = std::move(dispatcher);
  // What waited was for the UI thread of the dispatcher that goes.
  g_waiting.DropAll();
}

void DeliverQueuedNotifications() {
  const std::shared_ptr<UiDispatcher> dispatcher = CurrentDispatcher();
  if (dispatcher == nullptr || !dispatcher->IsUiThread()) return;
  // Only as many as wait now: a storm that goes on meanwhile must not keep
  // Stop from stopping it.
  for (std::size_t count = g_waiting.Size(); count > 0; --count) {
    const std::optional<Notification> next = g_waiting.TakeNext();
    if (!next) break;
    Deliver(next->HReader, next->Wparam, next->Lparam, next->UserData);
  }
}

void DiscardQueuedNotifications() { g_waiting.Discard(); }

std::size_t QueuedNotifications() { return g_waiting.Size(); }

void SetNotificationTarget(NotificationTarget* target) { g_target = target; }

extern "C" int32_t TVX_CALL ReaderCallBack(int32_t HReader, int32_t Wparam, int32_t Lparam,
                                           int32_t UserData) {
  try {
    // Taken first: a Stop that finishes while this call is still on its way
    // in makes it stale.
    const uint64_t epoch = g_waiting.Epoch();
    const std::shared_ptr<UiDispatcher> dispatcher = CurrentDispatcher();
    if (dispatcher == nullptr) return 0;
    if (dispatcher->IsUiThread()) {
      Deliver(HReader, Wparam, Lparam, UserData);
      return 0;
    }
    if (g_waiting.Push({HReader, Wparam, Lparam, UserData}, epoch) &&
        !dispatcher->Post([dispatcher] { DeliverNext(dispatcher); })) {
      g_waiting.Unschedule();
    }
  } catch (...) {
    // Out of memory while queueing: the notification is lost, the reader goes on.
  }
  return 0;
}

}  // namespace corvane
