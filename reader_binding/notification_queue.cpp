#include "notification_queue.h"

#include <algorithm>
#include <utility>

namespace corvane {

bool NotificationQueue::Push(const Notification& notification) {
  const std::lock_guard lock(m_mutex);
  if (const auto same = std::find(m_waiting.begin(), m_waiting.end(), notification);
      same != m_waiting.end()) {
    m_waiting.erase(same);
  } else if (m_waiting.size() == kCapacity) {
    m_waiting.pop_front();
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

void NotificationQueue::Unschedule() {
  const std::lock_guard lock(m_mutex);
  m_scheduled = false;
}

void NotificationQueue::DropReader(int32_t reader) {
  const std::lock_guard lock(m_mutex);
  std::erase_if(m_waiting,
                [reader](const Notification& waiting) { return waiting.HReader == reader; });
}

void NotificationQueue::DropAll() {
  const std::lock_guard lock(m_mutex);
  m_waiting.clear();
  m_scheduled = false;
}

std::size_t NotificationQueue::Size() const {
  const std::lock_guard lock(m_mutex);
  return m_waiting.size();
}

}  // namespace corvane
