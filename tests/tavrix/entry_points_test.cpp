// The library through its exported entry points, as a program loads it; the
// out-text rules and the port list behind them; and the simulated reader.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
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
using namespace testing;
using EntryPoints = Initialized;
using SimReaders = Initialized;

// The window selects the entry equal to the USB port's name, so the two must
// agree; and it lists the ports before it initialises the library.
TEST(PortList, HasTheUsbNameFirstSimLastAndDevicesBetween) {
  TvxUninitialize();
  int32_t length = 0;
  ASSERT_EQ(TvxPortsAvailable(nullptr, &length), TVX_BUFFER_TOO_SMALL);
  std::string text(static_cast<std::size_t>(length), ' ');
  ASSERT_EQ(TvxPortsAvailable(text.data(), &length), TVX_OK);
  std::vector<std::string> names(1);
  for (const char c : text.substr(0, length - 1)) {
    c == ',' ? names.emplace_back() : names.back().append(1, c);
  }
  char usb[10];
  length = sizeof usb;
  ASSERT_EQ(TvxUSBCOMPort(usb, &length), TVX_OK);
  EXPECT_EQ(names.front(), usb);
  EXPECT_EQ(names.back(), kSimPort.narrow);
  for (std::size_t i = 1; i + 1 < names.size(); ++i) {
    EXPECT_TRUE(std::filesystem::exists(names[i])) << names[i];
  }
}

// A reader starts only on a reader's name, with a notification function,
// while the library is initialised. A handle is never reused, across
// Initialize too, and a stale or made-up one is refused.
TEST_F(EntryPoints, RefuseWhatIsNoReaderAndNeverReuseAHandle) {
  std::vector<const char*> ports = {nullptr,        "",     "sim",          "COM1",
                                    "/dev/ttyNONE", "/tmp", "/etc/hostname"};
  if (!FirstUsbSerialPort()) ports.push_back(kUsbPort.narrow);
  for (const char* port : ports) {
    EXPECT_EQ(TvxStartCallBack(port, &Record, 0), TVX_FAILED) << (port ? port : "null");
  }
  EXPECT_EQ(TvxStartCallBack(kSimPort.narrow, nullptr, 0), TVX_FAILED);
  EXPECT_EQ(TvxStart(nullptr), TVX_FAILED);

  const int32_t stopped = TvxStart(kSimPort.narrow);
  EXPECT_EQ(TvxStop(stopped), TVX_OK);
  const int32_t running = TvxStart(kSimPort.narrow);
  EXPECT_GT(running, stopped);
  TvxUninitialize();
  EXPECT_EQ(TvxStartCallBack(kSimPort.narrow, &Record, 0), TVX_FAILED);
  EXPECT_EQ(TvxStart(kSimPort.narrow), TVX_FAILED);
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

// Outside the library, so it can run fast: it reads, then badges come and go,
// a bad read among them, and the round starts over.
TEST_F(SimReaders, BadgesComeAndGoWithABadReadRoundAfterRound) {
  const auto& round = SimReader::Sequence();
  const auto badges = std::ssize(round) - std::ranges::count(round, "");
  const auto output = std::make_shared<ReaderOutput>(&Record, 0);
  std::vector<std::string> cards;  // as fetched inside the notification
  g_onNotify = [&](const Notification& n) {
    if (n.event == TVX_EVENT_CARD) cards.push_back(output->LastCardData().value_or(""));
  };
  SimReader sim(output, 20ms);
  sim.Start();
  ASSERT_TRUE(WaitFor(0, TVX_EVENT_CARD, 2 * badges + 1));
  sim.Stop();
  const std::map<int32_t, char> letters = {{TVX_EVENT_READING, 'R'},
                                           {TVX_EVENT_BAD_READ, 'B'},
                                           {TVX_EVENT_CARD, 'C'},
                                           {TVX_EVENT_CARD_GONE, 'G'}};
  std::string shape;
  for (const int32_t event : Events(0)) shape += letters.contains(event) ? letters.at(event) : '?';
  EXPECT_TRUE(std::regex_match(shape, std::regex("R(B|CG)*C?"))) << shape;
  EXPECT_NE(shape.find('B'), std::string::npos);
  for (const auto& card : cards) EXPECT_TRUE(std::regex_match(card, std::regex("\\d{13}")));
  EXPECT_TRUE(std::equal(cards.begin(), cards.begin() + badges, cards.begin() + badges));
  EXPECT_NE(cards.front(), cards.at(1));
}

// A port plugged in between the sizing call and the filling call, however
// long apart: both answer with the list the sizing call measured, whether it
// sized with 0, as the window does, or with a guess too small. The next call
// scans again.
TEST(PortListOffer, SizingAndFillingAgreeWhenAPortAppearsBetween) {
  for (const int32_t sizingLength : {0, 4}) {
    std::vector<std::string> ports = {"/dev/ttyS0"};
    PortListOffer offer([&] { return ports; });
    const std::string sized = JoinPortList(ports);
    std::string text(64, ' ');
    int32_t length = sizingLength;
    ASSERT_EQ(offer.Offer(text.data(), &length), TVX_BUFFER_TOO_SMALL);
    ports.push_back("/dev/ttyUSB0");
    for (const std::string& expected : {sized, JoinPortList(ports)}) {
      ASSERT_EQ(offer.Offer(text.data(), &length), TVX_OK) << sizingLength;
      EXPECT_EQ(text.c_str(), expected) << sizingLength;
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
    int32_t capacity, result;
    const char* written;  // up to the NUL, when accepted
    int32_t length;       // afterwards
  } cases[] = {{false, 8, TVX_OK, "USB", 4},
               {false, 3, TVX_OK, "US", 3},
               {false, 1, TVX_OK, "", 1},
               {false, 0, TVX_FAILED, "", 0},
               {false, -5, TVX_FAILED, "", -5},
               {true, 0, TVX_BUFFER_TOO_SMALL, "", 4},
               {true, 3, TVX_BUFFER_TOO_SMALL, "", 4},
               {true, -1, TVX_BUFFER_TOO_SMALL, "", 4},
               {true, 4, TVX_OK, "USB", 4},
               {true, 8, TVX_OK, "USB", 4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << (c.offer ? "Offer " : "Copy ") << c.capacity);
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    int32_t length = c.capacity;
    EXPECT_EQ((c.offer ? OfferOutText : CopyOutText)("USB", buffer, &length), c.result);
    EXPECT_EQ(length, c.length);
    EXPECT_STREQ(c.result == TVX_OK ? buffer : "", c.written);
    const auto touched = static_cast<std::size_t>(c.result == TVX_OK ? c.capacity : 0);
    EXPECT_EQ(std::string_view(buffer, sizeof buffer).find_first_not_of('#', touched),
              std::string_view::npos);
  }
  char buffer[8];
  int32_t length = sizeof buffer;
  EXPECT_EQ(CopyOutText("x", nullptr, &length), TVX_FAILED);
  EXPECT_EQ(CopyOutText("x", buffer, nullptr), TVX_FAILED);
  EXPECT_EQ(OfferOutText("x", nullptr, nullptr), TVX_FAILED);
}

}  // namespace
}  // namespace tavrix
