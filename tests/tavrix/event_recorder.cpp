#include "event_recorder.h"

#include <algorithm>
#include <map>

namespace tavrix::testing {
namespace {

// The library hands back only an integer, so recorders are found by it.
std::mutex g_registryMutex;
std::map<int32_t, EventRecorder*> g_recorders;
int32_t g_nextUserData = 1000;

}  // namespace

std::string EventRecorder::FetchThroughEntryPoints(int32_t reader, int32_t event) {
  char text[256] = {};
  int32_t length = sizeof text;
  int32_t result = TVX_FAILED;
  if (event == TVX_EVENT_CARD) result = TvxGetLastCardData(reader, text, &length);
  if (event == TVX_EVENT_ERROR) result = TvxGetLastError(reader, text, &length);
  if (result < 0) return {};
  return std::string(text, static_cast<std::size_t>(std::max(length - 1, 0)));
}

EventRecorder::EventRecorder(TextFetcher fetch)
    : m_userData([] {
        std::lock_guard lock(g_registryMutex);
        return g_nextUserData++;
      }()),
      m_fetch(std::move(fetch)) {
  std::lock_guard lock(g_registryMutex);
  g_recorders[m_userData] = this;
}

EventRecorder::~EventRecorder() {
  std::lock_guard lock(g_registryMutex);
  g_recorders.erase(m_userData);
}

int32_t TVX_CALL EventRecorder::Notify(int32_t reader, int32_t event, int32_t lparam,
                                       int32_t userData) {
  // Held across the call, so a recorder cannot be destroyed under it.
  std::lock_guard lock(g_registryMutex);
  const auto found = g_recorders.find(userData);
  if (found != g_recorders.end()) found->second->Record(reader, event, lparam);
  return 0;
}

void EventRecorder::OnNotify(std::function<void(const Notification&)> hook) {
  std::lock_guard lock(m_mutex);
  m_hook = std::move(hook);
}

void EventRecorder::Record(int32_t reader, int32_t event, int32_t lparam) {
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

bool EventRecorder::WaitFor(int32_t event, std::size_t count, std::chrono::milliseconds deadline) {
  std::unique_lock lock(m_mutex);
  return m_arrived.wait_for(lock, deadline, [&] {
    return static_cast<std::size_t>(
               std::count_if(m_notifications.begin(), m_notifications.end(),
                             [&](const Notification& n) { return n.event == event; })) >= count;
  });
}

std::vector<Notification> EventRecorder::Notifications() const {
  std::lock_guard lock(m_mutex);
  return m_notifications;
}

std::vector<int32_t> EventRecorder::Events() const {
  std::vector<int32_t> events;
  for (const auto& n : Notifications()) events.push_back(n.event);
  return events;
}

std::size_t EventRecorder::CountOf(int32_t event) const {
  const auto events = Events();
  return static_cast<std::size_t>(std::count(events.begin(), events.end(), event));
}

}  // namespace tavrix::testing
