// The notification door: the window is reached on the UI thread only, and Stop never waits on it.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
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
  std::function<void()> m_afterDelivery = [] {};
  ScriptedDoor m_door{[this](const Notification& n) {
    m_deliveries.emplace_back(n, m_door.dispatcher->IsUiThread());
    m_afterDelivery();
  }};
};

// A notification that comes while one is delivered joins the queue rather than posting another,
// or the posts would multiply in a storm: one task per delivery.
TEST_F(ReaderCallBackTest, OnTheUiThreadCallsThroughFromOthersDeliversThereOneAtATimeInOrder) {
  EXPECT_EQ(ReaderCallBack(7, TVX_EVENT_CARD, -1, 99), 0);
  // One event of each class, so that none merges.
  ASSERT_TRUE(OnOtherThread([] {
    for (int32_t event = 5; event <= 10; ++event) EXPECT_EQ(ReaderCallBack(3, event, event, -5), 0);
  }));
  ASSERT_EQ(m_deliveries.size(), 1u) << "from another thread, nothing before the UI runs";
  m_afterDelivery = [this] {
    if (m_deliveries.size() == 2) {
      EXPECT_TRUE(OnOtherThread([] { ReaderCallBack(4, TVX_EVENT_CARD, 0, 0); }));
    }
  };
  EXPECT_EQ(m_door.dispatcher->Drain(), 7);
  std::vector<std::pair<Notification, bool>> expected = {{{7, TVX_EVENT_CARD, -1, 99}, true}};
  for (int32_t event = 5; event <= 10; ++event) expected.push_back({{3, event, event, -5}, true});
  expected.push_back({{4, TVX_EVENT_CARD, 0, 0}, true});
  EXPECT_EQ(m_deliveries, expected);
}

// A refused post leaves nothing scheduled, so the next notification posts again. Once the front
// end and its dispatcher go, what waited for its UI thread and all that comes later reach nothing.
TEST_F(ReaderCallBackTest, WorksOnAfterARefusedPostOrAThrowingWindowButNotWithoutADispatcher) {
  m_door.dispatcher->refuse = true;
  ASSERT_TRUE(OnOtherThread([] { ReaderCallBack(3, TVX_EVENT_ERROR, 0, 0); }));
  m_door.dispatcher->refuse = false;
  m_afterDelivery = [] { throw std::runtime_error("entry point gone"); };
  ASSERT_TRUE(OnOtherThread([] { ReaderCallBack(3, TVX_EVENT_CARD, 0, 0); }));
  EXPECT_NO_THROW(EXPECT_EQ(m_door.dispatcher->Drain(), 2));
  ASSERT_TRUE(OnOtherThread([] { ReaderCallBack(3, TVX_EVENT_ERROR, 0, 0); }));
  SetUiDispatcher(nullptr);
  m_door.dispatcher->Drain();  // the delivery posted for it finds nothing
  EXPECT_EQ(ReaderCallBack(3, TVX_EVENT_CARD, 0, 0), 0);
  EXPECT_EQ(m_deliveries.size(), 2u);
}

// A storm from two of the library's threads, under a handle other than the one Start returned,
// that goes on until the library's TvxStop returns: nothing of it arrives after Stop.
TEST_F(ReaderCallBackTest, AfterStopNothingOfAStormUnderAnotherHandleArrives) {
  Module1 binding(CORVANE_RECORDING_LIBRARY_FILE);
  ASSERT_GE(binding.TvxInitialize(), 0);
  const int32_t reader = binding.TvxStartCallBack(L"STORM", &ReaderCallBack, 0);
  EXPECT_TRUE(PollUntil([&] {
    m_door.dispatcher->Drain();
    return m_deliveries.size() >= 20;
  })) << "the storm reached the window";
  EXPECT_NE(m_deliveries.back().first.HReader, reader);
  binding.TvxStop(reader);
  const std::size_t deliveredByStop = m_deliveries.size();
  m_door.dispatcher->Drain();
  EXPECT_EQ(m_deliveries.size(), deliveredByStop);
  binding.TvxUninitialize();
}

}  // namespace
}  // namespace corvane::testing
