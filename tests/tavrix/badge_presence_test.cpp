#include "tavrix/badge_presence.h"

#include <gtest/gtest.h>

#include <ostream>
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

struct PresenceCase {
  const char* name;
  std::vector<Step> steps;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const PresenceCase& c, std::ostream* os) { *os << c.name; }

class BadgePresenceCases : public ::testing::TestWithParam<PresenceCase> {};

TEST_P(BadgePresenceCases, ReportsArrivalsAndLeaves) {
  BadgePresence presence(1200ms);
  const Clock::time_point start{};
  for (const Step& step : GetParam().steps) {
    const auto now = start + std::chrono::milliseconds(step.atMs);
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

INSTANTIATE_TEST_SUITE_P(
    Sessions, BadgePresenceCases,
    ::testing::Values(
        PresenceCase{"RepeatsInTheFieldAreOneRead",
                     {{0, "A", "7"}, {500, "A", ""}, {1000, "A", ""}, {1600, "A", ""}}},
        PresenceCase{"LeavesAfterSilence",
                     {{0, "A", "7"}, {1199, nullptr, ""}, {1200, nullptr, "9"}}},
        PresenceCase{"LeaveIsReportedOnce",
                     {{0, "A", "7"}, {1300, nullptr, "9"}, {5000, nullptr, ""}}},
        PresenceCase{"RepeatsKeepItInTheField",
                     {{0, "A", "7"}, {1000, "A", ""}, {2100, nullptr, ""}, {2200, nullptr, "9"}}},
        PresenceCase{"DifferentBadgeReplacesTheFirst", {{0, "A", "7"}, {300, "B", "97"}}},
        PresenceCase{"SameBadgeAfterLeavingIsNewRead",
                     {{0, "A", "7"}, {1500, nullptr, "9"}, {1600, "A", "7"}}},
        PresenceCase{"LateRepeatBeforeTheClockTickIsNewRead", {{0, "A", "7"}, {1500, "A", "97"}}},
        PresenceCase{"NothingLeavesWhenNothingCame", {{0, nullptr, ""}, {9000, nullptr, ""}}}),
    [](const auto& test) { return std::string(test.param.name); });

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
