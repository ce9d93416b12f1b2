// Entry points as a program loads them, the out-text and port list behind them, the simulator.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "event_recorder.h"
#include "port_list.h"
#include "reader.h"
#include "tavrix_port_names.h"

namespace tavrix {
namespace {

using namespace std::chrono_literals;
using namespace std::string_view_literals;
using namespace testing;
using EntryPoints = Initialized;
using SimReaders = Initialized;

// A handle is never reused, across Initialize too, so a stale one cannot reach a newer reader.
TEST_F(EntryPoints, RefuseWhatIsNoReaderAndNeverReuseAHandle) {
  std::vector<const char*> ports = {nullptr, "", "sim", "/dev/ttyNONE", "/tmp"};
  if (!FirstUsbSerialPort()) ports.push_back(kUsbPort.narrow);
  for (const char* port : ports)
    EXPECT_EQ(TvxStartCallBack(port, &Record, 0), TVX_FAILED) << (port ? port : "null");
  EXPECT_EQ(TvxStartCallBack(kSimPort.narrow, nullptr, 0), TVX_FAILED);
  EXPECT_EQ(TvxStart(nullptr), TVX_FAILED);

  const int32_t stopped = TvxStart(kSimPort.narrow);
  EXPECT_EQ(TvxStop(stopped), TVX_OK);
  EXPECT_EQ(TvxStop(stopped), TVX_FAILED);
  const int32_t running = TvxStart(kSimPort.narrow);
  EXPECT_GT(running, stopped);
  TvxUninitialize();
  EXPECT_EQ(TvxStartCallBack(kSimPort.narrow, &Record, 0), TVX_FAILED);
  EXPECT_EQ(TvxStop(running), TVX_FAILED) << "stopped by Uninitialize";
  ASSERT_EQ(TvxInitialize(), TVX_OK);
  EXPECT_GT(TvxStart(kSimPort.narrow), running);
  char text[16];
  int32_t length = sizeof text;
  EXPECT_EQ(TvxGetLastError(0, text, &length), TVX_FAILED);
}

// A program may end from inside a notification: the library's teardown then
// runs on the reader's own thread, which must not wait for itself.
TEST(EntryPointsDeathTest, LetAProgramEndFromInsideANotification) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const TvxNotify endProgram = [](int32_t, int32_t, int32_t, int32_t) -> int32_t { std::exit(0); };
  EXPECT_EXIT(
      {
        TvxInitialize();
        TvxStartCallBack(kSimPort.narrow, endProgram, 0);
        std::this_thread::sleep_for(corvane::testing::kDeadline);
        std::fprintf(stderr, "no notification before the deadline\n");
        std::_Exit(1);
      },
      ::testing::ExitedWithCode(0), "");
}

// Outside the library, so that its steps can come fast.
TEST_F(SimReaders, PlayTheirRoundAgainAndAgain) {
  const auto& round = SimReader::Sequence();
  const auto output = std::make_shared<ReaderOutput>(&Record, 0);
  std::vector<std::string> cards;
  g_onNotify = [&](const Notification& n) {
    if (n.event == TVX_EVENT_CARD) cards.push_back(output->LastCardData().value_or(""));
  };
  SimReader sim(output, 20ms);
  sim.Start();
  const auto badges = std::ranges::count_if(round, [](auto hex) { return !hex.empty(); });
  ASSERT_TRUE(WaitFor(0, TVX_EVENT_CARD, badges + 1));  // into the second round
  sim.Stop();
  const std::vector<int32_t> events = Events(0);
  std::vector<int32_t> expected = {TVX_EVENT_READING};
  for (std::size_t step = 0; expected.size() < events.size(); ++step) {
    if (round[step % round.size()].empty())
      expected.push_back(TVX_EVENT_BAD_READ);
    else
      expected.insert(expected.end(), {TVX_EVENT_CARD, TVX_EVENT_CARD_GONE});
  }
  expected.resize(events.size());
  EXPECT_EQ(events, expected);
  for (const auto& card : cards) EXPECT_TRUE(std::regex_match(card, std::regex("\\d{13}")));
  EXPECT_NE(cards.front(), cards.at(1)) << "one badge shown over and over";
}

// Both calls answer with the list the sizing call measured, however long apart, whether it sized
// with no buffer, as the window does, or one too small; only the next call scans again.
TEST(PortListOffer, SizingAndFillingAgreeWhenAPortAppearsBetween) {
  for (const int32_t sizingLength : {0, 4}) {
    std::vector<std::string> ports = {"/dev/ttyS0"};
    PortListOffer offer([&] { return ports; });
    std::string text(64, '#');
    int32_t length = sizingLength;
    ASSERT_EQ(offer.Offer(sizingLength ? text.data() : nullptr, &length), TVX_BUFFER_TOO_SMALL);
    EXPECT_EQ(text, std::string(64, '#')) << "refused buffer written";
    ports.push_back("/dev/ttyUSB0");
    for (const char* expected : {"USB,/dev/ttyS0,SIM", "USB,/dev/ttyS0,/dev/ttyUSB0,SIM"}) {
      ASSERT_EQ(offer.Offer(text.data(), &length), TVX_OK) << sizingLength;
      EXPECT_STREQ(text.c_str(), expected) << sizingLength;
      length = static_cast<int32_t>(text.size());
    }
  }
}

TEST(OutText, CopyKeepsToTheCapacity) {
  const struct {
    int32_t capacity, result, length;  // the length afterwards
    std::string_view buffer;           // afterwards
  } cases[] = {{3, TVX_OK, 3, "US\0#"sv},
               {1, TVX_OK, 1, "\0###"sv},
               {0, TVX_FAILED, 0, "####"},
               {-5, TVX_FAILED, -5, "####"}};
  for (const auto& c : cases) {
    char buffer[] = {'#', '#', '#', '#'};
    int32_t length = c.capacity;
    EXPECT_EQ(CopyOutText("USB", buffer, &length), c.result) << c.capacity;
    EXPECT_EQ(length, c.length) << c.capacity;
    EXPECT_EQ(std::string_view(buffer, sizeof buffer), c.buffer) << c.capacity;
  }
  char buffer[8];
  int32_t length = sizeof buffer;
  EXPECT_EQ(CopyOutText("x", nullptr, &length), TVX_FAILED);
  EXPECT_EQ(CopyOutText("x", buffer, nullptr), TVX_FAILED);
  EXPECT_EQ(OfferOutText("x", nullptr, nullptr), TVX_FAILED);
}

}  // namespace
}  // namespace tavrix
