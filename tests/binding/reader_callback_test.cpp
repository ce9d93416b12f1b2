// The notification door: whatever thread the library calls on, the window is
// reached on the UI thread only, and a Stop on the UI thread never waits on it.
#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

#include "deadline.h"
#include "module1.h"
#include "scripted_dispatcher.h"

namespace corvane::testing {
namespace {

class ReaderCallBackTest : public ::testing::Test {
 protected:
  std::vector<std::pair<Notification, bool>> m_deliveries;  // and whether on the UI thread
  bool m_throw = false;
  ScriptedDoor m_door{[this](const Notification& n) {
    m_deliveries.emplace_back(n, m_door.dispatcher->IsUiThread());
    if (m_throw) throw std::runtime_error("entry point gone");
  }};
};

TEST_F(ReaderCallBackTest, OnTheUiThreadCallsThroughFromOthersDeliversThereInOrder) {
  ReaderCallBack(7, 8, -1, 99);
  ASSERT_EQ(m_deliveries.size(), 1u);
  EXPECT_EQ(m_deliveries[0].first, (Notification{7, 8, -1, 99}));
  EXPECT_EQ(m_door.dispatcher->Drain(), 0);
  m_deliveries.clear();

  // Four readers side by side, each with events 5 to 10: one of each class, so none merges.
  ASSERT_TRUE(OnOtherThread([] {
    std::vector<std::jthread> readers;
    for (int32_t reader = 1; reader <= 4; ++reader) {
      readers.emplace_back([reader] {
        for (int32_t event = 5; event <= 10; ++event) ReaderCallBack(reader, event, reader, -5);
      });
    }
  }));
  EXPECT_TRUE(m_deliveries.empty()) << "nothing reaches the window before the UI runs";
  EXPECT_EQ(m_door.dispatcher->Drain(), 4 * 6);
  ASSERT_EQ(m_deliveries.size(), 4u * 6);
  std::vector<int32_t> nextEvent(5, 5);
  for (const auto& [n, onUiThread] : m_deliveries) {
    EXPECT_TRUE(onUiThread);
    EXPECT_EQ(n, (Notification{n.HReader, nextEvent.at(std::size_t(n.HReader))++, n.HReader, -5}));
  }
}

// A notification that comes while one is delivered joins the queue rather
// than posting another, or the posts would multiply in a storm.
TEST(ReaderCallBack, OneDeliveryIsScheduledAtATime) {
  int delivered = 0;
  ScriptedDoor door([&](const Notification&) {
    if (delivered++ == 0) {
      EXPECT_TRUE(OnOtherThread([] { ReaderCallBack(1, TVX_EVENT_CARD, 0, 0); }));
    }
  });
  ASSERT_TRUE(OnOtherThread([] {
    ReaderCallBack(1, TVX_EVENT_BAD_READ, 0, 0);
    ReaderCallBack(1, TVX_EVENT_READING, 0, 0);
  }));
  EXPECT_EQ(door.dispatcher->Drain(), 3);
  EXPECT_EQ(delivered, 3);
}

// The window closes while a notification waits, or the front end goes with
// it: nothing arrives.
TEST_F(ReaderCallBackTest, WithoutAWindowOrADispatcherNothingIsDelivered) {
  ASSERT_TRUE(OnOtherThread([] { ReaderCallBack(3, 7, 0, 0); }));
  SetNotificationTarget(nullptr);
  EXPECT_EQ(m_door.dispatcher->Drain(), 1);
  ReaderCallBack(3, 7, 0, 0);

  SetNotificationTarget(&m_door);
  ASSERT_TRUE(OnOtherThread([] { ReaderCallBack(3, 9, 0, 0); }));
  SetUiDispatcher(nullptr);
  EXPECT_EQ(QueuedNotifications(), 0u) << "what waited for the UI thread that went is dropped";
  m_door.dispatcher->Drain();  // the delivery posted for it finds nothing
  ASSERT_TRUE(OnOtherThread([] { ReaderCallBack(3, 8, 0, 0); }));
  ReaderCallBack(3, 8, 0, 0);
  EXPECT_TRUE(m_deliveries.empty());
}

// A post the UI thread refuses leaves nothing scheduled, so the next
// notification posts again; a window that throws unwinds into nothing.
TEST_F(ReaderCallBackTest, ARefusedPostOrAThrowingWindowLeavesTheDoorWorking) {
  m_door.dispatcher->refuse = true;
  ASSERT_TRUE(OnOtherThread([] { ReaderCallBack(3, 7, 0, 0); }));
  m_door.dispatcher->refuse = false;
  m_throw = true;
  ASSERT_TRUE(OnOtherThread([] { ReaderCallBack(3, 8, 0, 0); }));
  EXPECT_NO_THROW(EXPECT_EQ(m_door.dispatcher->Drain(), 2));
  EXPECT_NO_THROW(ReaderCallBack(3, 7, 0, 0));
  EXPECT_EQ(m_deliveries.size(), 3u);
}

// Stop on the UI thread, with the recording library: a card that waited is
// delivered before the library stops; then a storm from two threads under a
// handle other than the one Start returned, which goes on until the library's
// TvxStop returns. Stop must return, and nothing may arrive after it.
TEST_F(ReaderCallBackTest, StopDeliversWhatWaitedAndNothingOfAStormUnderAnotherHandle) {
  Module1 binding(CORVANE_RECORDING_LIBRARY_FILE);
  ASSERT_GE(binding.TvxInitialize(), 0);
  ASSERT_TRUE(OnOtherThread([] { ReaderCallBack(1, TVX_EVENT_CARD, 0, 0); }));
  binding.TvxStop(1);
  ASSERT_EQ(m_deliveries.size(), 1u) << "the card that waited was delivered by Stop";
  EXPECT_EQ(m_door.dispatcher->Drain(), 1) << "its scheduled delivery finds nothing";
  m_deliveries.clear();

  const int32_t reader = binding.TvxStartCallBack(L"STORM", &ReaderCallBack, 0);
  ASSERT_GT(reader, 0);
  EXPECT_TRUE(PollUntil([&] {
    m_door.dispatcher->Drain();
    return m_deliveries.size() >= 20;
  })) << "the storm reached the window";
  EXPECT_NE(m_deliveries.back().first.HReader, reader);
  binding.TvxStop(reader);
  const std::size_t deliveredByStop = m_deliveries.size();
  m_door.dispatcher->Drain();
  EXPECT_EQ(m_deliveries.size(), deliveredByStop)
      << "a notification reached the window after Stop returned";
  binding.TvxUninitialize();
}

}  // namespace
}  // namespace corvane::testing
