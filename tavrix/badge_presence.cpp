#include "badge_presence.h"

namespace tavrix {

BadgePresence::Change BadgePresence::OnBadge(const std::string& cardData, Clock::time_point now) {
  Change change;
  // A repeat that comes after the leave time is a new presentation, even when
  // the owner of the badge just tapped it again.
  if (OnTime(now)) change.previousLeft = true;
  if (m_present && *m_present != cardData) {
    change.previousLeft = true;
    m_present.reset();
  }
  if (!m_present) {
    change.arrived = true;
    m_present = cardData;
  }
  m_lastSeen = now;
  return change;
}

bool BadgePresence::OnTime(Clock::time_point now) {
  if (!m_present || now - m_lastSeen < m_leaveAfter) return false;
  m_present.reset();
  return true;
}

std::optional<BadgePresence::Clock::time_point> BadgePresence::LeaveDeadline() const {
  if (!m_present) return std::nullopt;
  return m_lastSeen + m_leaveAfter;
}

}  // namespace tavrix
