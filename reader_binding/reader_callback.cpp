#include "reader_callback.h"

#include <mutex>
#include <utility>

namespace corvane {
namespace {

std::mutex g_dispatcherMutex;
std::shared_ptr<UiDispatcher> g_dispatcher;  // guarded by g_dispatcherMutex
NotificationTarget* g_target = nullptr;      // touched on the UI thread only

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

}  // namespace

void SetUiDispatcher(std::shared_ptr<UiDispatcher> dispatcher) {
  std::lock_guard lock(g_dispatcherMutex);
  g_dispatcher = std::move(dispatcher);
}

void SetNotificationTarget(NotificationTarget* target) { g_target = target; }

extern "C" int32_t TVX_CALL ReaderCallBack(int32_t HReader, int32_t Wparam, int32_t Lparam,
                                           int32_t UserData) {
  try {
    const std::shared_ptr<UiDispatcher> dispatcher = CurrentDispatcher();
    if (dispatcher == nullptr) return 0;
    if (dispatcher->IsUiThread()) {
      Deliver(HReader, Wparam, Lparam, UserData);
      return 0;
    }
    dispatcher->Post([=] { Deliver(HReader, Wparam, Lparam, UserData); });
  } catch (...) {
    // Out of memory while queueing: the notification is lost, the reader goes on.
  }
  return 0;
}

}  // namespace corvane
