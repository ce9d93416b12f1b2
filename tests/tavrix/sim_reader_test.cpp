#include "sim_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "card_format.h"
#include "event_recorder.h"

namespace tavrix {
namespace {

using namespace std::chrono_literals;
using testing::EventRecorder;

// The simulator outside the library, so it can run fast.
struct FastSim {
  FastSim()
      : output(std::make_shared<ReaderOutput>(&EventRecorder::Notify, recorder.UserData())),
        reader(output, 20ms) {
    output->SetHandle(7);
  }

  EventRecorder recorder{[this](int32_t, int32_t event) {
    return event == TVX_EVENT_CARD ? output->LastCardData().value_or("") : std::string();
  }};
  std::shared_ptr<ReaderOutput> output;
  SimReader reader;
};

TEST(SimReader, PlaysItsSequenceAndRepeatsIt) {
  // Twice round, to see it start over, up to the last badge: what follows
  // it may or may not come before Stop.
  std::vector<int32_t> expected = {TVX_EVENT_READING};
  std::vector<std::string> expectedCards;
  for (int round = 0; round < 2; ++round) {
    for (auto hex : SimReader::Sequence()) {
      if (hex.empty()) {
        expected.push_back(TVX_EVENT_BAD_READ);
        continue;
      }
      expected.insert(expected.end(), {TVX_EVENT_CARD, TVX_EVENT_CARD_GONE});
      expectedCards.push_back(FormatCardData(*ParseHexBadgeId(hex)));
    }
  }
  EXPECT_NE(std::find(expected.begin(), expected.end(), TVX_EVENT_BAD_READ), expected.end())
      << "the simulator shows what a bad read looks like";
  while (expected.back() != TVX_EVENT_CARD) expected.pop_back();

  FastSim sim;
  sim.reader.Start();
  ASSERT_TRUE(sim.recorder.WaitFor(TVX_EVENT_CARD, expectedCards.size()));
  sim.reader.Stop();
  auto events = sim.recorder.Events();
  ASSERT_GE(events.size(), expected.size());
  events.resize(expected.size());
  EXPECT_EQ(events, expected);
  std::vector<std::string> cards;
  for (const auto& n : sim.recorder.Notifications()) {
    EXPECT_EQ(n.reader, 7);
    if (n.event == TVX_EVENT_CARD) cards.push_back(n.text);
  }
  cards.resize(expectedCards.size());
  EXPECT_EQ(cards, expectedCards);
}

}  // namespace
}  // namespace tavrix
