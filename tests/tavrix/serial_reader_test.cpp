// Serial ports as listed, and serial readers with a pseudo-terminal playing the badge reader.
#include <fcntl.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "event_recorder.h"
#include "frames.h"
#include "port_list.h"
#include "pty_pair.h"
#include "serial_reader.h"

namespace tavrix {
namespace {

using namespace testing;
using corvane::testing::Frame;
using corvane::testing::PtyPair;
namespace fs = std::filesystem;

constexpr const char* kGoodData = "0100012345678";
const std::string kGood = Frame("0A00BC614E");
const std::string kOther = Frame("2C499602D2");

std::ptrdiff_t EntriesIn(const char* folder) {
  return std::distance(fs::directory_iterator(folder), {});
}

// Runs of digits of any length; "01" before "1" only keeps the order strict.
TEST(NaturalOrder, ComparesRunsOfDigitsByValueAndIsStrict) {
  const std::string inOrder[] = {
      "", "a", "a001", "a01", "a1", "a2", "a10", "a99999999999999999999", "ab", "b"};
  for (std::size_t i = 0; i < std::size(inOrder); ++i)
    for (std::size_t j = 0; j < std::size(inOrder); ++j)
      EXPECT_EQ(NaturalLess(inOrder[i], inOrder[j]), i < j) << inOrder[i] << " / " << inOrder[j];
}

// USB and ACM devices and real UARTs, in natural order; no bare prefix, no plain file.
TEST(SerialPorts, AreListedFromTheDeviceFolder) {
  const fs::path root = fs::temp_directory_path() / ("corvane-ports-" + std::to_string(::getpid()));
  const fs::path dev = root / "dev", sys = root / "sys";
  fs::remove_all(root);
  fs::create_directories(dev);
  for (const char* name :
       {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyS0", "ttyS1", "ttyS2", "ttyS3", "ttyUSB", "null"})
    fs::create_symlink("/dev/null", dev / name);  // a character device by that name
  std::ofstream(dev / "ttyUSB3") << "a plain file\n";
  // Real: a device and a known UART type; with no type file, a driver to probe (none here).
  for (const char* tty : {"ttyS0", "ttyS1", "ttyS3"}) fs::create_directories(sys / tty / "device");
  fs::create_directories(sys / "ttyS2");
  for (const char* tty : {"ttyS0", "ttyS2"}) std::ofstream(sys / tty / "type") << "4\n";
  std::ofstream(sys / "ttyS1" / "type") << "0\n";
  const std::vector<std::string> expected = {dev / "ttyACM0", dev / "ttyS0", dev / "ttyUSB2",
                                             dev / "ttyUSB10"};
  const auto descriptorsBefore = EntriesIn("/proc/self/fd");
  EXPECT_EQ(ListSerialPortsIn(dev, sys), expected);
  EXPECT_EQ(EntriesIn("/proc/self/fd"), descriptorsBefore) << "a type file left open";
  fs::remove_all(root);
}

// A port that went away and stays away, for the loop all serial readers share.
struct AwayPort final : SerialReaderBase {
  AwayPort() : SerialReaderBase("/dev/ttyAWAY", std::make_shared<ReaderOutput>(nullptr, 0)) {}
  ~AwayPort() override { Stop(); }
  bool PortOpen() const override { return false; }
  void ClosePort() override {}
  bool Reopen() override {
    ++reopens;
    return false;
  }
  bool ReadUntilLost() override { return true; }
  std::atomic<int> reopens = 0;
};

// Retrying without a pause keeps a processor busy while the port is away; a reader that waits
// makes no attempt in the first tenths of a second, or one if this thread was held up.
TEST(SerialReader, PausesBetweenAttemptsToReopenAPortThatIsAway) {
  AwayPort reader;
  reader.Start();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  reader.Stop();
  EXPECT_LE(reader.reopens, 1);
}

using SerialReaders = Initialized;

// Reads follow the badges in the field, not the frames on the wire. A half frame kept from before
// the hang-up would swallow the next line. The link moves by rename, so no opener finds it missing.
TEST_F(SerialReaders, ReportBadgesAndAHangUpOnceAndReadAgainOnceThePortIsBack) {
  PtyPair pty;
  const std::string link =
      fs::temp_directory_path() / ("corvane-tty-" + std::to_string(::getpid()));
  const auto pointAt = [&](const std::string& target) {
    fs::remove(link + ".new");
    fs::create_symlink(target, link + ".new");
    fs::rename(link + ".new", link);
  };
  pointAt(pty.SlavePath());
  const int32_t reader = Start(link);
  EXPECT_EQ(LastText(reader), std::nullopt) << "card data before any badge";
  pty.Write(kGood.substr(0, 5));
  pty.Write(kGood.substr(5) + kGood + kGood + kOther);
  ASSERT_TRUE(WaitFor(reader, TVX_EVENT_CARD_GONE, 2));
  pty.Write("\x02" + std::string("0A00BC614E00\x03") + kGood.substr(0, 5));
  ASSERT_TRUE(WaitFor(reader, TVX_EVENT_BAD_READ));
  pty.HangUp();
  ASSERT_TRUE(WaitFor(reader, TVX_EVENT_ERROR));
  PtyPair replugged;
  pointAt(replugged.SlavePath());
  ASSERT_TRUE(WaitFor(reader, TVX_EVENT_READING, 2));
  replugged.Write("4711\r\n");
  ASSERT_TRUE(WaitFor(reader, TVX_EVENT_CARD, 3));
  std::vector<int32_t> events = Events(reader);
  std::vector<std::string> cards;
  for (const auto& n : Heard(reader))
    if (n.event == TVX_EVENT_CARD) cards.push_back(n.text);
  events.resize(9);  // the last badge may have left if this thread was held up
  EXPECT_EQ(events, (std::vector<int32_t>{TVX_EVENT_READING, TVX_EVENT_CARD, TVX_EVENT_CARD_GONE,
                                          TVX_EVENT_CARD, TVX_EVENT_CARD_GONE, TVX_EVENT_BAD_READ,
                                          TVX_EVENT_ERROR, TVX_EVENT_READING, TVX_EVENT_CARD}));
  EXPECT_EQ(cards, (std::vector<std::string>{kGoodData, "0441234567890", "4711"}));
  EXPECT_NE(LastText(reader, TVX_EVENT_ERROR).value_or("").find(link), std::string::npos);
  fs::remove(link);
}

// The line is checked as made and as the port keeps it: a pseudo-terminal forces 8 data bits and
// no parity and ignores the rest, so a wrong line passes every other test and reads nothing.
TEST_F(SerialReaders, TakeThePortAndSetTheLineTo9600EightNoneOneRaw) {
  PtyPair pty;
  termios cooked = pty.Settings();
  cooked.c_iflag |= ICRNL | INLCR | IGNCR | ISTRIP | IXON | IXOFF;
  cooked.c_lflag |= ICANON | ECHO | ISIG | IEXTEN;
  cooked.c_cflag = (cooked.c_cflag & ~tcflag_t{CSIZE}) | CS7 | PARENB | CSTOPB | CRTSCTS;
  ASSERT_EQ(::cfsetspeed(&cooked, B19200), 0);
  pty.SetSettings(cooked);
  const std::string port = pty.SlavePath();
  const int held = ::open(port.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(TvxStart(port.c_str()), TVX_PORT_UNUSABLE);
  ::close(held);
  const int32_t reader = TvxStart(port.c_str());
  ASSERT_GT(reader, 0);
  EXPECT_EQ(TvxStart(port.c_str()), TVX_PORT_UNUSABLE) << "second reader";
  for (const termios& line : {BadgeReaderLine(cooked), pty.Settings()}) {
    EXPECT_EQ(::cfgetispeed(&line), B9600);
    EXPECT_EQ(::cfgetospeed(&line), B9600);
    EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t{CS8});
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(line.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | IXON | IXOFF), 0u);
  }
  pty.Write(kGood);
  EXPECT_TRUE(PollUntil([&] { return LastText(reader) == kGoodData; }));
}

// Each reader's notification stops itself, or the other reader while the other's notification is
// under way: neither Stop may wait for the other, and Uninitialize waits for both to return.
TEST_F(SerialReaders, StopFromNotificationsAndLeaveNoThreadOrPortBehind) {
  const auto threads = [] { return EntriesIn("/proc/self/task"); };
  // Counted after a thread of our own: ThreadSanitizer starts a helper with the first one.
  const auto threadsBefore = (std::thread([] {}).join(), threads());
  const auto descriptorsBefore = EntriesIn("/proc/self/fd");
  for (int round = 0; round < 100; ++round) {
    const int shift = round % 2;  // 0: itself, 1: the other
    SCOPED_TRACE("round " + std::to_string(round));
    PtyPair ptys[2];
    std::atomic<int32_t> readers[2] = {0, 0}, stops[2] = {1, 1};
    std::atomic<int> underWay = 0, stopped = 0;  // stopped: both readers and this thread
    g_onNotify = [&](const Notification& n) {
      if (n.event != TVX_EVENT_CARD) return;
      const int i = n.reader == readers[1];
      ++underWay;
      EXPECT_TRUE(PollUntil([&] { return underWay == 2; }));
      stops[i] = TvxStop(readers[(i + shift) % 2]);
      ++stopped;
      EXPECT_TRUE(PollUntil([&] { return stopped == 3; }));
    };
    for (int i : {0, 1}) readers[i] = Start(ptys[i].SlavePath());
    for (auto& pty : ptys) pty.Write(kGood + kOther);
    ++stopped;
    if (!PollUntil([&] { return stopped == 3; })) {
      ADD_FAILURE() << "a Stop inside a notification has not returned";
      std::_Exit(1);  // its thread still uses this round's state
    }
    EXPECT_EQ(TvxUninitialize(), TVX_OK);
    g_onNotify = nullptr;
    for (int i : {0, 1}) {
      EXPECT_EQ(stops[i], TVX_OK);
      EXPECT_EQ(std::ranges::count(Events(readers[i]), TVX_EVENT_CARD), 1) << "the first badge";
      EXPECT_NE(LastText(readers[i]), std::nullopt) << "a stopped reader's text";
    }
    EXPECT_TRUE(PollUntil([&] { return threads() == threadsBefore; })) << threads();
    ASSERT_EQ(TvxInitialize(), TVX_OK);
  }
  EXPECT_EQ(EntriesIn("/proc/self/fd"), descriptorsBefore) << "a port or pipe left open";
}

}  // namespace
}  // namespace tavrix
