// The library through its exported entry points, as a program loads it; the
// out-text rules and the port list behind them; and the simulated reader.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>
#include <string_view>
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

// A reader starts only on a reader's name, with a notification function,
// while the library is initialised. A handle is never reused, across
// Initialize too, and a stale or made-up one is refused.
TEST_F(EntryPoints, RefuseWhatIsNoReaderAndNeverReuseAHandle) {
  std::vector<const char*> ports = {nullptr, "", "sim", "/dev/ttyNONE", "/tmp"};
  if (!FirstUsbSerialPort()) ports.push_back(kUsbPort.narrow);
  for (const char* port : ports) {
    EXPECT_EQ(TvxStartCallBack(port, &Record, 0), TVX_FAILED) << (port ? port : "null");
  }
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
  for (const int32_t handle : {0, -1, INT32_MAX}) {
    char text[16];
    int32_t length = sizeof text;
    EXPECT_EQ(TvxStop(handle), TVX_FAILED) << handle;
    EXPECT_EQ(TvxGetLastError(handle, text, &length), TVX_FAILED) << handle;
    EXPECT_EQ(TvxGetLastCardData(handle, text, &length), TVX_FAILED) << handle;
  }
}

// Outside the library, so it can run fast: it reads, then plays its round,
// a badge coming and going or a bad read at each step, round after round.
TEST_F(SimReaders, PlayTheirRoundAgainAndAgain) {
  const auto& round = SimReader::Sequence();
  const auto output = std::make_shared<ReaderOutput>(&Record, 0);
  std::vector<std::string> cards;  // as fetched inside the notification
  g_onNotify = [&](const Notification& n) {
    if (n.event == TVX_EVENT_CARD) cards.push_back(output->LastCardData().value_or(""));
  };
  SimReader sim(output, 20ms);
  sim.Start();
  const auto badges = std::ssize(round) - std::ranges::count(round, "");
  ASSERT_TRUE(WaitFor(0, TVX_EVENT_CARD, 2 * badges + 1));
  sim.Stop();
  const std::vector<int32_t> events = Events(0);
  const std::vector<int32_t> bad = {TVX_EVENT_BAD_READ},
                             badge = {TVX_EVENT_CARD, TVX_EVENT_CARD_GONE};
  std::vector<int32_t> expected = {TVX_EVENT_READING};
  for (std::size_t step = 0; expected.size() < events.size(); ++step) {
    std::ranges::copy(round[step % round.size()].empty() ? bad : badge, back_inserter(expected));
  }
  expected.resize(events.size());
  EXPECT_EQ(events, expected);
  EXPECT_NE(std::ranges::count(events, TVX_EVENT_BAD_READ), 0);
  for (const auto& card : cards) EXPECT_TRUE(std::regex_match(card, std::regex("\\d{13}")));
  EXPECT_TRUE(std::equal(cards.begin(), cards.begin() + badges, cards.begin() + badges));
  EXPECT_NE(cards.front(), cards.at(1));
}

// A port plugged in between the sizing call and the filling call, however
// long apart: both answer with the list the sizing call measured, whether it
// sized with 0, as the window does, or with a guess too small; the next call
// scans again. USB comes first, where the window selects it, and SIM last.
TEST(PortListOffer, SizingAndFillingAgreeWhenAPortAppearsBetween) {
  for (const int32_t sizingLength : {0, 4}) {
    std::vector<std::string> ports = {"/dev/ttyS0"};
    PortListOffer offer([&] { return ports; });
    std::string text(64, ' ');
    int32_t length = sizingLength;
    ASSERT_EQ(offer.Offer(text.data(), &length), TVX_BUFFER_TOO_SMALL);
    ports.push_back("/dev/ttyUSB0");
    for (const char* expected : {"USB,/dev/ttyS0,SIM", "USB,/dev/ttyS0,/dev/ttyUSB0,SIM"}) {
      ASSERT_EQ(offer.Offer(text.data(), &length), TVX_OK) << sizingLength;
      EXPECT_STREQ(text.c_str(), expected) << sizingLength;
      length = static_cast<int32_t>(text.size());
    }
  }
}

// Copy: fixed texts, cut to fit. Offer: the port list, refused with the length
// needed until it fits whole. Neither writes past the capacity nor into a
// refused buffer.
TEST(OutText, KeepsToTheCapacity) {
  const struct {
    bool offer;
    int32_t capacity, result, length;  // the length afterwards
    std::string_view buffer;           // afterwards
  } cases[] = {{false, 8, TVX_OK, 4, "USB\0####"sv},
               {false, 3, TVX_OK, 3, "US\0#####"sv},
               {false, 1, TVX_OK, 1, "\0#######"sv},
               {false, 0, TVX_FAILED, 0, "########"},
               {false, -5, TVX_FAILED, -5, "########"},
               {true, 0, TVX_BUFFER_TOO_SMALL, 4, "########"},
               {true, 3, TVX_BUFFER_TOO_SMALL, 4, "########"},
               {true, 4, TVX_OK, 4, "USB\0####"sv}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << (c.offer ? "Offer " : "Copy ") << c.capacity);
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    int32_t length = c.capacity;
    EXPECT_EQ((c.offer ? OfferOutText : CopyOutText)("USB", buffer, &length), c.result);
    EXPECT_EQ(length, c.length);
    EXPECT_EQ(std::string_view(buffer, sizeof buffer), c.buffer);
  }
  char buffer[8];
  int32_t length = sizeof buffer;
  EXPECT_EQ(CopyOutText("x", nullptr, &length), TVX_FAILED);
  EXPECT_EQ(CopyOutText("x", buffer, nullptr), TVX_FAILED);
  EXPECT_EQ(OfferOutText("x", nullptr, nullptr), TVX_FAILED);
}

}  // namespace
}  // namespace tavrix
