#include "notification_queue.h"

#include <algorithm>
#include <utility>

#include "tavrix.h"

namespace corvane {
namespace {

// Every code outside 5 to 9 does the same: it shows "Codice sconosciuto".
int32_t EventClass(int32_t event) {
  return event >= TVX_EVENT_BAD_READ && event <= TVX_EVENT_CARD_GONE ? event : 0;
}

bool SameEffect(const Notification& a, const Notification& b) {
  return a.HReader == b.HReader && EventClass(a.Wparam) == EventClass(b.Wparam);
}

// Cards and errors fetch what the operator would otherwise never see.
bool StatusOnly(const Notification& n) {
  return n.Wparam != TVX_EVENT_CARD && n.Wparam != TVX_EVENT_ERROR;
}

}  // namespace

bool NotificationQueue::Push(const Notification& notification, uint64_t epoch) {
  const std::lock_guard lock(m_mutex);
  if (epoch != m_epoch) return false;
  const auto same = std::find_if(m_waiting.begin(), m_waiting.end(), [&](const Notification& n) {
    return SameEffect(n, notification);
  });
  if (same != m_waiting.end()) {
    m_waiting.erase(same);
  } else if (m_waiting.size() == kCapacity) {
    const auto status = std::find_if(m_waiting.begin(), m_waiting.end(), StatusOnly);
    if (status != m_waiting.end()) {
      m_waiting.erase(status);
    } else if (StatusOnly(notification)) {
      return false;
    } else {
      m_waiting.pop_front();
    }
  }
  m_waiting.push_back(notification);
  return !std::exchange(m_scheduled, true);
}

std::optional<Notification> NotificationQueue::Pop(bool& more) {
  const std::lock_guard lock(m_mutex);
  more = false;
  if (m_waiting.empty()) {
    m_scheduled = false;
    return std::nullopt;
  }
  const Notification next = m_waiting.front();
  m_waiting.pop_front();
  more = !m_waiting.empty();
  m_scheduled = more;
  return next;
}

std::optional<Notification> NotificationQueue::TakeNext() {
  const std::lock_guard lock(m_mutex);
  if (m_waiting.empty()) return std::nullopt;
  const Notification next = m_waiting.front();
  m_waiting.pop_front();
  return next;
}

void NotificationQueue::Unschedule() {
  const std::lock_guard lock(m_mutex);
  m_scheduled = false;
}

void NotificationQueue::Discard() {
  const std::lock_guard lock(m_mutex);
  m_waiting.clear();
  ++m_epoch;
}

void NotificationQueue::DropAll() {
  const std::lock_guard lock(m_mutex);
  m_waiting.clear();
  m_scheduled = false;
  ++m_epoch;
}

uint64_t NotificationQueue::Epoch() const {
  const std::lock_guard lock(m_mutex);
  return m_epoch;
}

std::size_t NotificationQueue::Size() const {
  const std::lock_guard lock(m_mutex);
  return m_waiting.size();
}

}  // namespace corvane
