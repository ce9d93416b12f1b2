// Serial ports as they are listed, and serial readers through the exported
// entry points with a pseudo-terminal playing the badge reader.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <barrier>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "event_recorder.h"
#include "frames.h"
#include "port_list.h"
#include "pty_pair.h"

namespace tavrix {
namespace {

using namespace testing;
using corvane::testing::Frame;
using corvane::testing::PtyPair;
namespace fs = std::filesystem;

constexpr const char* kGoodData = "0100012345678";
const std::string kGood = Frame("0A00BC614E");

TEST(NaturalOrder, SortsPortsAsAnOperatorReadsThemAndIsAStrictOrder) {
  const std::vector<std::string> sorted = {"/dev/ttyACM0", "/dev/ttyS01",  "/dev/ttyS1",
                                           "/dev/ttyS2",   "/dev/ttyS10",  "/dev/ttyUSB0",
                                           "/dev/ttyUSB1", "/dev/ttyUSB10"};
  std::vector<std::string> ports(sorted.rbegin(), sorted.rend());
  std::ranges::sort(ports, NaturalLess);
  EXPECT_EQ(ports, sorted);
  const std::vector<std::string> names = {"",   "a",   "a1", "a01",
                                          "a2", "a10", "b",  "99999999999999999999"};
  for (const auto& a : names) {
    for (const auto& b : names) {  // never both ways; one way unless equal
      EXPECT_EQ(NaturalLess(a, b) + NaturalLess(b, a), a == b ? 0 : 1) << a << " / " << b;
    }
  }
}

TEST(RealUart, TellsRealFromPhantom) {
  const struct {
    const char* name;
    bool device;       // the tty has a device link
    const char* type;  // its type attribute; null: none
    bool real;
  } cases[] = {{"unknown type", true, "0", false},
               {"known type", true, "4", true},
               {"no device", false, "4", false},
               {"no type, no driver", true, nullptr, false},
               {"garbled type", true, "x", false}};
  // A fake sysfs entry for one tty.
  const fs::path dir = fs::temp_directory_path() / ("corvane-systty-" + std::to_string(::getpid()));
  for (const auto& tty : cases) {
    fs::remove_all(dir);
    fs::create_directories(dir);
    if (tty.device) fs::create_directories(dir / "device");
    if (tty.type) std::ofstream(dir / "type") << tty.type << "\n";
    // The device path is never probed here: no driver link, so no opening.
    EXPECT_EQ(IsRealUart(dir, "/nonexistent/ttyS99"), tty.real) << tty.name;
  }
  fs::remove_all(dir);
}

template <typename Condition>
bool PollUntil(Condition done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (!done() && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
  return done();
}

class SerialReaders : public Initialized {
 protected:
  PtyPair m_pty;
  EventRecorder m_recorder;
};

// What the reader sends against what is reported: reads follow the badges
// in the field, not the frames on the wire.
TEST_F(SerialReaders, BadReadsRepeatsAndChangesOfBadge) {
  const int32_t reader = m_recorder.Start(m_pty.SlavePath());
  EXPECT_EQ(LastText(reader), std::nullopt) << "card data before any badge";
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
    if (n.event == TVX_EVENT_CARD) cards.push_back(n.text);  // as fetched inside the notification
  }
  EXPECT_EQ(cards, (std::vector<std::string>{kGoodData, "2552147483648", "4711"}));
  EXPECT_EQ(LastText(reader), "4711");
}

TEST_F(SerialReaders, HangUpIsReportedOnceWithoutSpinningAndReopeningReadsAgain) {
  // The reader's port name is a link that can be moved to a new terminal, as
  // a reader plugged back in; by rename, so an opener never finds it missing.
  const std::string link =
      fs::temp_directory_path() / ("corvane-reader-" + std::to_string(::getpid()));
  const auto pointAt = [&](const std::string& target) {
    fs::remove(link + ".new");
    fs::create_symlink(target, link + ".new");
    fs::rename(link + ".new", link);
  };
  pointAt(m_pty.SlavePath());
  const int32_t reader = m_recorder.Start(link);

  const std::clock_t cpuBefore = std::clock();  // of the whole process
  m_pty.HangUp();
  ASSERT_TRUE(m_recorder.WaitFor(TVX_EVENT_ERROR));
  const auto error = m_recorder.Notifications().back();
  EXPECT_EQ(error.reader, reader);
  EXPECT_NE(error.text.find(link), std::string::npos) << error.text;

  PtyPair replugged;
  pointAt(replugged.SlavePath());
  ASSERT_TRUE(m_recorder.WaitFor(TVX_EVENT_READING, 2));
  // The wait spans a retry interval; a reader that polls a dead port or
  // retries without pausing burns most of it.
  EXPECT_LT(std::clock() - cpuBefore, CLOCKS_PER_SEC * 3 / 10)
      << "CPU used while the port was away";
  EXPECT_EQ(std::ranges::count(m_recorder.Events(), TVX_EVENT_ERROR), 1);

  replugged.Write(kGood);
  ASSERT_TRUE(m_recorder.WaitFor(TVX_EVENT_CARD));
  EXPECT_EQ(m_recorder.Notifications().back().text, kGoodData);
  EXPECT_EQ(LastText(reader, TVX_EVENT_ERROR), error.text);
  fs::remove(link);
}

TEST_F(SerialReaders, NoNotificationComesAfterStopOrUninitialize) {
  const int32_t reader = m_recorder.Start(m_pty.SlavePath());
  m_pty.Write(kGood);
  ASSERT_TRUE(m_recorder.WaitFor(TVX_EVENT_CARD));
  PtyPair second;
  EventRecorder secondRecorder;
  const int32_t secondReader = secondRecorder.Start(second.SlavePath());
  second.Write(Frame("2C499602D2"));
  ASSERT_TRUE(secondRecorder.WaitFor(TVX_EVENT_CARD));
  ASSERT_EQ(TvxStop(reader), TVX_OK);
  const std::size_t atStop = m_recorder.Notifications().size();
  EXPECT_EQ(LastText(reader), kGoodData) << "texts of a reader stopped a moment ago";
  EXPECT_EQ(TvxStop(reader), TVX_FAILED);
  EXPECT_EQ(TvxUninitialize(), TVX_OK);
  const std::size_t secondAtStop = secondRecorder.Notifications().size();
  EXPECT_EQ(LastText(secondReader), "0441234567890") << "and of one Uninitialize stopped";

  // The port is free again, and a new reader on it is the clock: by the time
  // it reports a badge the stopped ones would have reported theirs too.
  ASSERT_EQ(TvxInitialize(), TVX_OK);
  EventRecorder witness;
  witness.Start(m_pty.SlavePath());
  second.HangUp();
  m_pty.Write(Frame("2C499602D2"));
  ASSERT_TRUE(witness.WaitFor(TVX_EVENT_CARD));
  EXPECT_EQ(m_recorder.Notifications().size(), atStop);
  EXPECT_EQ(secondRecorder.Notifications().size(), secondAtStop);
}

// Each reader's notification stops itself, or the other reader at the moment
// the other's notification stops it: neither Stop may wait for the other. A
// second badge waits on each port and must never be reported, and both
// notifications still run when Uninitialize is called, which waits for them
// and leaves no thread running and no port or pipe open.
TEST_F(SerialReaders, StopsFromNotificationsReturnAndUninitializeLeavesNoThread) {
  const auto count = [](const char* folder) {
    return std::distance(fs::directory_iterator(folder), {});
  };
  const auto threadCount = [&] { return count("/proc/self/task"); };
  // Counted after a thread of our own: ThreadSanitizer starts a helper with the first one.
  const auto threadsBefore = (std::thread([] {}).join(), threadCount());
  const auto descriptorsBefore = count("/proc/self/fd");
  for (const int shift : {0, 1}) {
    for (int round = 0; round < 50; ++round) {
      SCOPED_TRACE((shift == 0 ? "itself, round " : "the other, round ") + std::to_string(round));
      PtyPair ptys[2];
      EventRecorder recorders[2];
      std::atomic<int32_t> readers[2] = {0, 0}, stops[2] = {1, 1};
      std::barrier underWay(2), stopped(3);  // stopped: both readers and this thread
      for (int i : {0, 1}) {
        recorders[i].onNotify = [&, i](const Notification& n) {
          if (n.event != TVX_EVENT_CARD) return;
          underWay.arrive_and_wait();
          stops[i] = TvxStop(readers[(i + shift) % 2]);
          stopped.arrive_and_wait();
        };
        readers[i] = recorders[i].Start(ptys[i].SlavePath());
      }
      for (auto& pty : ptys) pty.Write(kGood + Frame("2C499602D2"));
      stopped.arrive_and_wait();
      EXPECT_EQ(TvxUninitialize(), TVX_OK);
      for (int i : {0, 1}) {
        EXPECT_EQ(stops[i], TVX_OK);
        EXPECT_EQ(std::ranges::count(recorders[i].Events(), TVX_EVENT_CARD), 1)
            << "the first badge only";
      }
      EXPECT_TRUE(PollUntil([&] { return threadCount() == threadsBefore; })) << threadCount();
      ASSERT_EQ(TvxInitialize(), TVX_OK);
    }
  }
  EXPECT_EQ(count("/proc/self/fd"), descriptorsBefore) << "a port or pipe left open";
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
  EXPECT_TRUE(PollUntil([&] { return LastText(reader) == kGoodData; }));
}

}  // namespace
}  // namespace tavrix
