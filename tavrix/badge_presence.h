// Whether a badge is in the reader's field.
//
// Readers resend a badge every half second or so while it stays in the field;
// the operator wants one read per presentation and to know when the badge is
// gone. Time comes in from the caller, so the rules are testable without
// waiting.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace tavrix {

class BadgePresence {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kDefaultLeaveAfter{1200};

  struct Change {
    bool previousLeft = false;  // report the earlier badge as gone first
    bool arrived = false;       // report this badge as read
  };

  explicit BadgePresence(Clock::duration leaveAfter = kDefaultLeaveAfter)
      : m_leaveAfter(leaveAfter) {}

  Change OnBadge(const std::string& cardData, Clock::time_point now);

  // True once, when the badge in the field has not been repeated for the
  // leave time.
  bool OnTime(Clock::time_point now);

  // When OnTime will report the badge gone; nothing when no badge is in.
  std::optional<Clock::time_point> LeaveDeadline() const;

  // The port went away: nothing is known to be in the field any more.
  void Forget() { m_present.reset(); }

 private:
  Clock::duration m_leaveAfter;
  std::optional<std::string> m_present;
  Clock::time_point m_lastSeen{};
};

}  // namespace tavrix
