// The notification door: whatever thread the library calls on, the window is
// reached on the UI thread only, and a Stop on the UI thread never waits on it.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "module1.h"
#include "scripted_dispatcher.h"

namespace corvane::testing {
namespace {

class ReaderCallBackTest : public ::testing::Test {
 protected:
  struct Delivery {
    Notification notification;
    bool onUiThread;
  };
  std::vector<Delivery> m_deliveries;  // written on the UI thread only
  bool m_throw = false;
  ScriptedDoor m_door{[this](const Notification& n) {
    m_deliveries.push_back({n, m_door.dispatcher->IsUiThread()});
    if (m_throw) throw std::runtime_error("entry point gone");
  }};
};

TEST_F(ReaderCallBackTest, OnTheUiThreadCallsThroughFromOthersDeliversThereInOrder) {
  EXPECT_EQ(ReaderCallBack(7, 8, -1, 99), 0);
  ASSERT_EQ(m_deliveries.size(), 1u);
  EXPECT_EQ(m_deliveries[0].notification, (Notification{7, 8, -1, 99}));
  EXPECT_EQ(m_door.dispatcher->Drain(), 0);
  m_deliveries.clear();

  constexpr int kThreads = 4;
  constexpr int kEach = 6;  // events 5 to 10: one of each class, so none merges
  std::vector<std::thread> readers;
  for (int reader = 1; reader <= kThreads; ++reader) {
    readers.emplace_back([reader] {
      for (int event = 5; event < 5 + kEach; ++event)
        ReaderCallBack(reader, event, reader * 10, -5);
    });
  }
  for (auto& thread : readers) thread.join();
  EXPECT_TRUE(m_deliveries.empty()) << "nothing reaches the window before the UI runs";

  EXPECT_EQ(m_door.dispatcher->Drain(), kThreads * kEach);
  ASSERT_EQ(m_deliveries.size(), std::size_t{kThreads * kEach});
  std::vector<int> nextEvent(kThreads + 1, 5);
  for (const auto& [n, onUiThread] : m_deliveries) {
    EXPECT_TRUE(onUiThread);
    EXPECT_EQ(n,
              (Notification{n.HReader, nextEvent[std::size_t(n.HReader)]++, n.HReader * 10, -5}));
  }
}

// One delivery is scheduled at a time: a notification that comes while one
// is delivered joins the queue rather than posting another, or the posts
// would multiply in a storm.
TEST(ReaderCallBack, OneDeliveryIsScheduledAtATime) {
  int delivered = 0;
  ScriptedDoor door([&](const Notification&) {
    if (delivered++ == 0) std::thread([] { ReaderCallBack(1, TVX_EVENT_CARD, 0, 0); }).join();
  });
  std::thread([] {
    ReaderCallBack(1, TVX_EVENT_BAD_READ, 0, 0);
    ReaderCallBack(1, TVX_EVENT_READING, 0, 0);
  }).join();
  EXPECT_EQ(door.dispatcher->Drain(), 3);
  EXPECT_EQ(delivered, 3);
}

// The window closes while a notification waits, or no front end is there to
// deliver: nothing arrives, and the library is never kept waiting.
TEST_F(ReaderCallBackTest, WithoutAWindowOrADispatcherNothingIsDelivered) {
  std::thread([] { ReaderCallBack(3, 7, 0, 0); }).join();
  SetNotificationTarget(nullptr);
  EXPECT_EQ(m_door.dispatcher->Drain(), 1);
  EXPECT_EQ(ReaderCallBack(3, 7, 0, 0), 0);

  SetNotificationTarget(&m_door);
  std::thread([] { ReaderCallBack(3, 9, 0, 0); }).join();
  SetUiDispatcher(nullptr);
  EXPECT_EQ(QueuedNotifications(), 0u) << "what waited for the UI thread that went is dropped";
  m_door.dispatcher->Drain();  // the delivery posted for it finds nothing
  std::thread([] { EXPECT_EQ(ReaderCallBack(3, 8, 0, 0), 0); }).join();
  EXPECT_EQ(ReaderCallBack(3, 8, 0, 0), 0);
  EXPECT_TRUE(m_deliveries.empty());
}

// A post the UI thread refuses leaves nothing scheduled: the next one posts again.
TEST_F(ReaderCallBackTest, AfterARefusedPostTheNextNotificationIsPostedAgain) {
  m_door.dispatcher->refuse = true;
  std::thread([] { ReaderCallBack(3, 7, 0, 0); }).join();
  m_door.dispatcher->refuse = false;
  std::thread([] { ReaderCallBack(3, 8, 0, 0); }).join();
  EXPECT_EQ(m_door.dispatcher->Drain(), 2);
  EXPECT_EQ(m_deliveries.size(), 2u);
}

TEST_F(ReaderCallBackTest, ATargetThatThrowsNeverUnwindsIntoTheLibrary) {
  m_throw = true;
  EXPECT_EQ(ReaderCallBack(3, 7, 0, 0), 0);
  std::thread([] { EXPECT_EQ(ReaderCallBack(3, 7, 0, 0), 0); }).join();
  EXPECT_NO_THROW(m_door.dispatcher->Drain());
}

// Stop on the UI thread, with the recording library: a card that waited is
// delivered before the library stops; then a storm from two threads under a
// handle other than the one Start returned, which goes on until the library's
// TvxStop returns. Stop must return, and nothing may arrive after it.
TEST_F(ReaderCallBackTest, StopDeliversWhatWaitedAndNothingOfAStormUnderAnotherHandle) {
  Module1 binding(CORVANE_RECORDING_LIBRARY_FILE);
  ASSERT_GE(binding.TvxInitialize(), 0);
  std::thread([] { ReaderCallBack(1, TVX_EVENT_CARD, 0, 0); }).join();
  binding.TvxStop(1);
  ASSERT_EQ(m_deliveries.size(), 1u) << "the card that waited was delivered by Stop";
  EXPECT_EQ(m_door.dispatcher->Drain(), 1) << "its scheduled delivery finds nothing";
  m_deliveries.clear();

  const int32_t reader = binding.TvxStartCallBack(L"STORM", &ReaderCallBack, 0);
  ASSERT_GT(reader, 0);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (m_deliveries.size() < 20 && std::chrono::steady_clock::now() < deadline) {
    if (m_door.dispatcher->Drain() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_GE(m_deliveries.size(), 20u) << "the storm reached the window";
  EXPECT_NE(m_deliveries.back().notification.HReader, reader);

  binding.TvxStop(reader);
  const std::size_t deliveredByStop = m_deliveries.size();
  m_door.dispatcher->Drain();
  EXPECT_EQ(m_deliveries.size(), deliveredByStop)
      << "a notification reached the window after Stop returned";
  binding.TvxUninitialize();
}

}  // namespace
}  // namespace corvane::testing
