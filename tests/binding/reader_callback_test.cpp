// The notification door: whatever thread the library calls on, the window is
// reached on the UI thread only, and a Stop on the UI thread never waits on it.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "module1.h"
#include "reader_callback.h"
#include "scripted_dispatcher.h"

#include "frames.h"

namespace corvane {
namespace {

using ::testing::ElementsAre;

using testing::ScriptedDispatcher;

struct Delivery {
  int32_t values[4];
  bool onUiThread;
};

class RecordingTarget final : public NotificationTarget {
 public:
  explicit RecordingTarget(const ScriptedDispatcher& dispatcher) : m_dispatcher(dispatcher) {}
  void CallBackBadge(int32_t HReader, int32_t Wparam, int32_t Lparam, int32_t UserData) override {
    deliveries.push_back({{HReader, Wparam, Lparam, UserData}, m_dispatcher.IsUiThread()});
    if (throwOnDelivery) throw std::runtime_error("entry point gone");
  }
  std::vector<Delivery> deliveries;  // written on the UI thread only
  bool throwOnDelivery = false;

 private:
  const ScriptedDispatcher& m_dispatcher;
};

class ReaderCallBackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUiDispatcher(m_dispatcher);
    SetNotificationTarget(&m_target);
  }
  void TearDown() override {
    SetNotificationTarget(nullptr);
    SetUiDispatcher(nullptr);
  }
  std::shared_ptr<ScriptedDispatcher> m_dispatcher = std::make_shared<ScriptedDispatcher>();
  RecordingTarget m_target{*m_dispatcher};
};

TEST_F(ReaderCallBackTest, OnTheUiThreadCallsStraightThrough) {
  EXPECT_EQ(ReaderCallBack(7, 8, -1, 99), 0);

  ASSERT_EQ(m_target.deliveries.size(), 1u);
  EXPECT_THAT(m_target.deliveries[0].values, ElementsAre(7, 8, -1, 99));
  EXPECT_EQ(m_dispatcher->Drain(), 0);
}

TEST_F(ReaderCallBackTest, FromOtherThreadsReturnsAtOnceAndDeliversOnTheUiThreadInOrder) {
  constexpr int kThreads = 4;
  constexpr int kEach = 200;  // all distinct, and together within the queue's bound
  std::vector<std::thread> readers;
  for (int reader = 1; reader <= kThreads; ++reader) {
    readers.emplace_back([reader] {
      for (int event = 0; event < kEach; ++event) ReaderCallBack(reader, event, reader * 10, -5);
    });
  }
  for (auto& thread : readers) thread.join();
  EXPECT_TRUE(m_target.deliveries.empty()) << "nothing reaches the window before the UI runs";

  EXPECT_EQ(m_dispatcher->Drain(), kThreads * kEach);

  ASSERT_EQ(m_target.deliveries.size(), static_cast<std::size_t>(kThreads * kEach));
  std::vector<int> nextEvent(std::size_t{kThreads} + 1, 0);
  for (const Delivery& delivery : m_target.deliveries) {
    EXPECT_TRUE(delivery.onUiThread);
    const int reader = delivery.values[0];
    EXPECT_EQ(delivery.values[1], nextEvent[static_cast<std::size_t>(reader)]++)
        << "reader " << reader;
    EXPECT_EQ(delivery.values[2], reader * 10);
    EXPECT_EQ(delivery.values[3], -5);
  }
}

TEST_F(ReaderCallBackTest, NotificationForAClosedWindowIsDropped) {
  std::thread([] { ReaderCallBack(3, 7, 0, 0); }).join();
  SetNotificationTarget(nullptr);  // the window closes while the notification waits

  EXPECT_EQ(m_dispatcher->Drain(), 1);
  EXPECT_TRUE(m_target.deliveries.empty());
  EXPECT_EQ(ReaderCallBack(3, 7, 0, 0), 0);
  EXPECT_TRUE(m_target.deliveries.empty());
}

TEST_F(ReaderCallBackTest, WithoutADispatcherNothingIsDelivered) {
  SetUiDispatcher(nullptr);
  std::thread([] { EXPECT_EQ(ReaderCallBack(3, 8, 0, 0), 0); }).join();
  EXPECT_EQ(ReaderCallBack(3, 8, 0, 0), 0);
  EXPECT_TRUE(m_target.deliveries.empty());
}

TEST_F(ReaderCallBackTest, ATargetThatThrowsNeverUnwindsIntoTheLibrary) {
  m_target.throwOnDelivery = true;

  EXPECT_EQ(ReaderCallBack(3, 7, 0, 0), 0);
  std::thread([] { EXPECT_EQ(ReaderCallBack(3, 7, 0, 0), 0); }).join();
  EXPECT_NO_THROW(m_dispatcher->Drain());
}

// The stand-in library, fed badges as fast as a pseudo-terminal takes them,
// while the UI thread stops it: Stop must return, and nothing may arrive after.
TEST_F(ReaderCallBackTest, StopOnTheUiThreadWhileNotificationsPourInDoesNotDeadlock) {
  int master = -1;
  int slave = -1;
  char slavePath[128] = {};
  ASSERT_EQ(openpty(&master, &slave, slavePath, nullptr, nullptr), 0);
  close(slave);
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

  Module1 binding;
  ASSERT_GE(binding.TvxInitialize(), 0);
  const int32_t reader = binding.TvxStartCallBack(
      std::wstring(slavePath, slavePath + strlen(slavePath)), &ReaderCallBack, 0);
  ASSERT_GT(reader, 0);

  std::atomic<bool> writing{true};
  std::thread writer([&] {
    // Two badges in turn, so every frame is a new read.
    const std::string frames[] = {testing::Frame("0A1B2C3D4E"), testing::Frame("0A1B2C3D4F")};
    // Bounded, so that a slow (instrumented) build does not queue without end.
    constexpr std::size_t kFrames = 5000;
    for (std::size_t i = 0; writing && i < kFrames;) {
      const std::string& frame = frames[i % 2];
      if (write(master, frame.data(), frame.size()) == static_cast<ssize_t>(frame.size())) {
        ++i;
      } else {
        pollfd writable{master, POLLOUT, 0};
        poll(&writable, 1, 10);  // the reader is behind, or stopped
      }
    }
  });

  // Repeated values merge in the queue, so a flowing storm delivers a few.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (m_target.deliveries.size() < 20 && m_dispatcher->WaitForTask(deadline)) {
    m_dispatcher->Drain();
  }
  EXPECT_GE(m_target.deliveries.size(), 20u);

  EXPECT_GE(binding.TvxStop(reader), 0);
  const std::size_t deliveredBeforeStop = m_target.deliveries.size();
  m_dispatcher->Drain();  // what was queued before Stop returned is dropped too
  writing = false;
  writer.join();
  close(master);
  m_dispatcher->Drain();

  EXPECT_EQ(m_target.deliveries.size(), deliveredBeforeStop)
      << "a notification reached the window after Stop returned";
  binding.TvxUninitialize();
}

}  // namespace
}  // namespace corvane
