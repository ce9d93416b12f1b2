// Serial readers through the exported entry points, with a pseudo-terminal
// playing the badge reader.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <barrier>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "event_recorder.h"
#include "frames.h"
#include "pty_pair.h"
#include "tavrix.h"

namespace tavrix {
namespace {

using namespace std::chrono_literals;
using corvane::testing::Frame;
using corvane::testing::PortLink;
using corvane::testing::PtyPair;
using testing::EventRecorder;

constexpr const char* kGoodData = "0100012345678";
const std::string kGood = Frame("0A00BC614E");

std::chrono::microseconds ProcessCpuTime() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec;
  const auto micros = usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
  return std::chrono::seconds(seconds) + std::chrono::microseconds(micros);
}

std::optional<std::string> LastCardData(int32_t reader) {
  char text[64];
  int32_t length = sizeof text;
  if (TvxGetLastCardData(reader, text, &length) != TVX_OK) return std::nullopt;
  return std::string(text, static_cast<std::size_t>(length - 1));
}

// True once `done` holds; false after 15 s. Yields between looks.
template <typename Condition>
bool PollUntil(Condition done) {
  const auto deadline = std::chrono::steady_clock::now() + 15s;
  while (!done() && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
  return done();
}

class SerialReaders : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(TvxInitialize(), TVX_OK); }
  void TearDown() override { TvxUninitialize(); }

  // Starts a reader on `port` and waits until it reads.
  int32_t StartReading(const std::string& port, EventRecorder& recorder) {
    const int32_t reader =
        TvxStartCallBack(port.c_str(), &EventRecorder::Notify, recorder.UserData());
    EXPECT_GT(reader, 0) << port;
    EXPECT_TRUE(recorder.WaitFor(TVX_EVENT_READING));
    return reader;
  }

  PtyPair m_pty;
  EventRecorder m_recorder;
};

// What the reader sends against what is reported: reads follow the badges
// in the field, not the frames on the wire.
TEST_F(SerialReaders, BadReadsRepeatsAndChangesOfBadge) {
  const int32_t reader = StartReading(m_pty.SlavePath(), m_recorder);
  EXPECT_EQ(LastCardData(reader), std::nullopt) << "card data before any badge";
  m_pty.Write("\x02" + std::string("0A00BC614E00\x03"));  // a bad checksum
  ASSERT_TRUE(m_recorder.WaitFor(TVX_EVENT_BAD_READ));
  m_pty.Write(kGood.substr(0, 5));                          // one badge, split across writes,
  m_pty.Write(kGood.substr(5) + kGood + kGood);             // then held in the field
  m_pty.Write(Frame("FF80000000", "\r\n"));                 // another one replacing it
  ASSERT_TRUE(m_recorder.WaitFor(TVX_EVENT_CARD_GONE, 2));  // and leaving
  m_pty.Write("4711\r\n");
  ASSERT_TRUE(m_recorder.WaitFor(TVX_EVENT_CARD, 3));
  const std::vector<int32_t> expected = {
      TVX_EVENT_READING, TVX_EVENT_BAD_READ,  TVX_EVENT_CARD, TVX_EVENT_CARD_GONE,
      TVX_EVENT_CARD,    TVX_EVENT_CARD_GONE, TVX_EVENT_CARD};
  // The last badge may already have left if this thread was held up.
  std::vector<int32_t> events = m_recorder.Events();
  if (events.size() == expected.size() + 1 && events.back() == TVX_EVENT_CARD_GONE) {
    events.pop_back();
  }
  EXPECT_EQ(events, expected);
  std::vector<std::string> cards;
  for (const auto& n : m_recorder.Notifications()) {
    EXPECT_EQ(n.reader, reader);
    // As fetched inside the notification.
    if (n.event == TVX_EVENT_CARD) cards.push_back(n.text);
  }
  EXPECT_EQ(cards, (std::vector<std::string>{kGoodData, "2552147483648", "4711"}));
  EXPECT_EQ(LastCardData(reader), "4711");
}

TEST_F(SerialReaders, HangUpIsReportedOnceWithoutSpinningAndReopeningReadsAgain) {
  PortLink link(m_pty.SlavePath());
  const int32_t reader = StartReading(link.Path(), m_recorder);

  const auto cpuBefore = ProcessCpuTime();
  m_pty.HangUp();
  ASSERT_TRUE(m_recorder.WaitFor(TVX_EVENT_ERROR));
  const auto error = m_recorder.Notifications().back();
  EXPECT_EQ(error.reader, reader);
  EXPECT_NE(error.text.find(link.Path()), std::string::npos) << error.text;

  // The reader plugged back in, under the same name.
  PtyPair replugged;
  link.PointAt(replugged.SlavePath());
  ASSERT_TRUE(m_recorder.WaitFor(TVX_EVENT_READING, 2));
  const auto cpuSpent = ProcessCpuTime() - cpuBefore;
  // The wait spans a retry interval; a reader that polls a dead port or
  // retries without pausing burns most of it.
  EXPECT_LT(cpuSpent, 300ms) << "CPU used while the port was away";
  EXPECT_EQ(m_recorder.CountOf(TVX_EVENT_ERROR), 1u);

  replugged.Write(kGood);
  ASSERT_TRUE(m_recorder.WaitFor(TVX_EVENT_CARD));
  EXPECT_EQ(m_recorder.Notifications().back().text, kGoodData);
  EXPECT_EQ(EventRecorder::FetchThroughEntryPoints(reader, TVX_EVENT_ERROR), error.text);
}

TEST_F(SerialReaders, NoNotificationComesAfterStopOrUninitialize) {
  const int32_t reader = StartReading(m_pty.SlavePath(), m_recorder);
  m_pty.Write(kGood);
  ASSERT_TRUE(m_recorder.WaitFor(TVX_EVENT_CARD));
  PtyPair second;
  EventRecorder secondRecorder;
  const int32_t secondReader = StartReading(second.SlavePath(), secondRecorder);
  second.Write(Frame("2C499602D2"));
  ASSERT_TRUE(secondRecorder.WaitFor(TVX_EVENT_CARD));
  ASSERT_EQ(TvxStop(reader), TVX_OK);
  const std::size_t atStop = m_recorder.Notifications().size();
  EXPECT_EQ(LastCardData(reader), kGoodData) << "texts of a reader stopped a moment ago";
  EXPECT_EQ(TvxStop(reader), TVX_FAILED);
  EXPECT_EQ(TvxUninitialize(), TVX_OK);
  const std::size_t secondAtStop = secondRecorder.Notifications().size();
  EXPECT_EQ(LastCardData(secondReader), "0441234567890") << "and of one Uninitialize stopped";

  // The port is free again, and a new reader on it is the clock: by the time
  // it reports a badge the stopped ones would have reported theirs too.
  ASSERT_EQ(TvxInitialize(), TVX_OK);
  EventRecorder witness;
  StartReading(m_pty.SlavePath(), witness);
  second.HangUp();
  m_pty.Write(Frame("2C499602D2"));
  ASSERT_TRUE(witness.WaitFor(TVX_EVENT_CARD));
  EXPECT_EQ(m_recorder.Notifications().size(), atStop);
  EXPECT_EQ(secondRecorder.Notifications().size(), secondAtStop);
}

// Each reader's notification stops itself, or the other reader at the moment
// the other's notification stops it: neither Stop may wait for the other. A
// second badge waits on each port and must never be reported, and both
// notifications still run when Uninitialize is called, which waits for them.
TEST_F(SerialReaders, StopsFromNotificationsReturnAndUninitializeLeavesNoThread) {
  const auto threadCount = [] {
    return std::distance(std::filesystem::directory_iterator("/proc/self/task"), {});
  };
  // Counted after a thread of our own: ThreadSanitizer starts a helper with the first one.
  const auto threadsBefore = (std::thread([] {}).join(), threadCount());
  for (const int shift : {0, 1}) {
    for (int round = 0; round < 50; ++round) {
      SCOPED_TRACE((shift == 0 ? "itself, round " : "the other, round ") + std::to_string(round));
      PtyPair ptys[2];
      EventRecorder recorders[2];
      std::atomic<int32_t> readers[2] = {0, 0}, stops[2] = {1, 1};
      std::barrier underWay(2), stopped(3);  // stopped: both readers and this thread
      for (int i : {0, 1}) {
        recorders[i].OnNotify([&, i](const testing::Notification& n) {
          if (n.event != TVX_EVENT_CARD) return;
          underWay.arrive_and_wait();
          stops[i] = TvxStop(readers[(i + shift) % 2]);
          stopped.arrive_and_wait();
        });
        readers[i] = StartReading(ptys[i].SlavePath(), recorders[i]);
      }
      for (auto& pty : ptys) pty.Write(kGood + Frame("2C499602D2"));
      stopped.arrive_and_wait();
      EXPECT_EQ(TvxUninitialize(), TVX_OK);
      for (int i : {0, 1}) {
        EXPECT_EQ(stops[i], TVX_OK);
        EXPECT_EQ(recorders[i].CountOf(TVX_EVENT_CARD), 1u) << "the first badge only";
      }
      EXPECT_TRUE(PollUntil([&] { return threadCount() == threadsBefore; })) << threadCount();
      ASSERT_EQ(TvxInitialize(), TVX_OK);
    }
  }
}

TEST_F(SerialReaders, APortServesOneReaderAndAReaderWithoutNotificationsIsPolled) {
  const int held = ::open(m_pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(TvxStart(m_pty.SlavePath().c_str()), TVX_PORT_UNUSABLE);
  ::close(held);

  const int32_t reader = TvxStart(m_pty.SlavePath().c_str());
  ASSERT_GT(reader, 0);
  EXPECT_EQ(TvxStart(m_pty.SlavePath().c_str()), TVX_PORT_UNUSABLE) << "second reader on one port";
  m_pty.Write(kGood);
  // Polling is what a reader without notifications is for.
  EXPECT_TRUE(PollUntil([&] { return LastCardData(reader) == kGoodData; }));
}

}  // namespace
}  // namespace tavrix
