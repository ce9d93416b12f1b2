#include "badge_presence.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavrix {
namespace {

using namespace std::chrono_literals;
using Clock = BadgePresence::Clock;

// One step of a scripted session: a badge seen at a time, or only time passing.
struct Step {
  int atMs;
  const char* badge;   // null: only the clock moves
  const char* expect;  // what is reported: "7", "9", "97" or ""
};

TEST(BadgePresence, ReportsArrivalsAndLeaves) {
  const struct {
    const char* name;
    std::vector<Step> steps;
  } cases[] = {
      {"repeats in the field are one read",
       {{0, "A", "7"}, {500, "A", ""}, {1000, "A", ""}, {1600, "A", ""}}},
      {"leaves after silence", {{0, "A", "7"}, {1199, nullptr, ""}, {1200, nullptr, "9"}}},
      {"leave is reported once", {{0, "A", "7"}, {1300, nullptr, "9"}, {5000, nullptr, ""}}},
      {"repeats keep it in the field",
       {{0, "A", "7"}, {1000, "A", ""}, {2100, nullptr, ""}, {2200, nullptr, "9"}}},
      {"a different badge replaces the first", {{0, "A", "7"}, {300, "B", "97"}}},
      {"the same badge after leaving is a new read",
       {{0, "A", "7"}, {1500, nullptr, "9"}, {1600, "A", "7"}}},
      {"a late repeat before the clock tick is a new read", {{0, "A", "7"}, {1500, "A", "97"}}},
      {"nothing leaves when nothing came", {{0, nullptr, ""}, {9000, nullptr, ""}}},
  };
  for (const auto& session : cases) {
    SCOPED_TRACE(session.name);
    BadgePresence presence(1200ms);
    for (const Step& step : session.steps) {
      const auto now = Clock::time_point{} + std::chrono::milliseconds(step.atMs);
      std::string reported;
      if (step.badge == nullptr) {
        if (presence.OnTime(now)) reported += '9';
      } else {
        const auto change = presence.OnBadge(step.badge, now);
        if (change.previousLeft) reported += '9';
        if (change.arrived) reported += '7';
      }
      EXPECT_EQ(reported, step.expect) << "at " << step.atMs << " ms";
    }
  }
}

TEST(BadgePresence, DeadlineFollowsTheLastRepeat) {
  BadgePresence presence(1200ms);
  const Clock::time_point start{};
  EXPECT_FALSE(presence.LeaveDeadline().has_value());
  presence.OnBadge("A", start);
  presence.OnBadge("A", start + 700ms);
  EXPECT_EQ(presence.LeaveDeadline(), start + 1900ms);
  presence.Forget();
  EXPECT_FALSE(presence.LeaveDeadline().has_value());
  EXPECT_TRUE(presence.OnBadge("A", start + 800ms).arrived);
}

}  // namespace
}  // namespace tavrix
