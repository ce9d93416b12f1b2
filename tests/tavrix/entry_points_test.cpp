// The library through its exported entry points, as a program loads it; the
// out-text rules behind them; and the simulated reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <regex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "event_recorder.h"
#include "library_state.h"
#include "port_list.h"
#include "tavrix_port_names.h"

namespace tavrix {
namespace {

using namespace std::chrono_literals;
using namespace testing;
using EntryPoints = Initialized;

// The port list as the window reads it: the length first, then the text,
// split at every comma.
std::vector<std::string> PortsAvailable() {
  int32_t length = 0;
  if (TvxPortsAvailable(nullptr, &length) != TVX_BUFFER_TOO_SMALL) return {"<no size>"};
  std::string text(static_cast<std::size_t>(length), ' ');
  if (TvxPortsAvailable(text.data(), &length) != TVX_OK) return {"<refused>"};
  text.resize(static_cast<std::size_t>(length - 1));
  std::vector<std::string> names(1);
  for (const char c : text) c == ',' ? names.emplace_back() : names.back().append(1, c);
  return names;
}

// The window selects the entry equal to the USB port's name: the two must agree.
TEST_F(EntryPoints, PortListHasTheUsbNameFirstSimLastAndDevicesBetween) {
  const std::vector<std::string> names = PortsAvailable();
  ASSERT_GE(names.size(), 2u);
  char usb[10];
  int32_t length = sizeof usb;
  ASSERT_EQ(TvxUSBCOMPort(usb, &length), TVX_OK);
  EXPECT_EQ(names.front(), usb);
  EXPECT_EQ(names.back(), kSimPort.narrow);
  for (std::size_t i = 1; i + 1 < names.size(); ++i) {
    EXPECT_TRUE(std::filesystem::exists(names[i])) << names[i];
  }
}

TEST_F(EntryPoints, RejectNamesThatAreNoReader) {
  EventRecorder recorder;
  std::vector<const char*> ports = {
      nullptr, "", "sim", "COM1", "NOPE", "/dev/ttyNONEXISTENT", "/tmp", "/etc/hostname"};
  if (!FirstUsbSerialPort()) ports.push_back(kUsbPort.narrow);
  for (const char* port : ports) {
    EXPECT_EQ(TvxStartCallBack(port, &EventRecorder::Notify, recorder.UserData()), TVX_FAILED)
        << (port ? port : "null");
  }
  EXPECT_EQ(TvxStartCallBack(kSimPort.narrow, nullptr, 0), TVX_FAILED);
  EXPECT_EQ(TvxStart(nullptr), TVX_FAILED);
  EXPECT_TRUE(recorder.Events().empty());
}

// Readers start only while the library is initialised, and a stale handle
// never reaches a later reader. The simulator reports reading, then a badge.
TEST(EntryPointsAcrossInitialize, StartOnlyWhenInitialisedAndNeverReuseAHandle) {
  TvxUninitialize();
  EXPECT_EQ(TvxStartCallBack(kSimPort.narrow, &EventRecorder::Notify, 0), TVX_FAILED);
  EXPECT_EQ(TvxStart(kSimPort.narrow), TVX_FAILED);
  EXPECT_EQ(PortsAvailable().front(), kUsbPort.narrow) << "ports are listed before Initialize";
  ASSERT_EQ(TvxInitialize(), TVX_OK);
  std::vector<int32_t> stopped;
  for (int32_t previous = 0; stopped.size() <= LibraryState::kRememberedStopped;) {
    stopped.push_back(TvxStart(kSimPort.narrow));
    ASSERT_GT(stopped.back(), std::exchange(previous, stopped.back()));
    EXPECT_EQ(TvxStop(stopped.back()), TVX_OK);
  }
  // Stopped readers' texts stay fetchable, the last ones' only.
  char text[16];
  int32_t length = sizeof text;
  EXPECT_EQ(TvxGetLastError(stopped.front(), text, &length), TVX_FAILED);
  EXPECT_EQ(TvxGetLastError(stopped.at(1), text, &length), TVX_OK);
  EventRecorder recorder;
  const int32_t running = recorder.Start(kSimPort.narrow);
  ASSERT_TRUE(recorder.WaitFor(TVX_EVENT_CARD));
  const auto notifications = recorder.Notifications();
  EXPECT_EQ(notifications.at(0).event, TVX_EVENT_READING);
  EXPECT_EQ(notifications.at(1).event, TVX_EVENT_CARD);
  EXPECT_EQ(notifications.at(1).text.size(), 13u);
  for (const auto& n : notifications) EXPECT_TRUE(n.reader == running && n.lparam == 0);
  TvxUninitialize();
  EXPECT_EQ(TvxStart(kSimPort.narrow), TVX_FAILED);
  EXPECT_EQ(TvxStop(running), TVX_FAILED) << "stopped by Uninitialize";
  ASSERT_EQ(TvxInitialize(), TVX_OK);
  EXPECT_GT(TvxStart(kSimPort.narrow), running);
  for (int32_t handle : {0, -1, -2, 999999, INT32_MAX}) {
    length = sizeof text;
    EXPECT_EQ(TvxStop(handle), TVX_FAILED) << handle;
    EXPECT_EQ(TvxGetLastError(handle, text, &length), TVX_FAILED) << handle;
    EXPECT_EQ(TvxGetLastCardData(handle, text, &length), TVX_FAILED) << handle;
  }
  TvxUninitialize();
}

// Outside the library, so it can run fast: it reads, then badges come and
// go, a bad read among them, and the round starts over.
TEST(SimReader, BadgesComeAndGoWithABadReadRoundAfterRound) {
  const auto& round = SimReader::Sequence();
  const auto badges = std::ssize(round) - std::ranges::count(round, "");
  EventRecorder recorder;
  const auto output = std::make_shared<ReaderOutput>(&EventRecorder::Notify, recorder.UserData());
  output->SetHandle(7);
  std::vector<std::string> cards;  // as fetched inside the notification
  recorder.onNotify = [&](const Notification& n) {
    EXPECT_EQ(n.reader, 7);
    if (n.event == TVX_EVENT_CARD) cards.push_back(output->LastCardData().value_or(""));
  };
  SimReader sim(output, 20ms);
  sim.Start();
  ASSERT_TRUE(recorder.WaitFor(TVX_EVENT_CARD, static_cast<std::size_t>(2 * badges + 1)));
  sim.Stop();
  std::string shape;  // a letter an event: Reading, Bad read, Error, Card, Gone
  for (const int32_t event : recorder.Events()) shape += "     BECRG"[std::clamp(event, 0, 9)];
  EXPECT_TRUE(std::regex_match(shape, std::regex("R(B|CG)*C?"))) << shape;
  EXPECT_NE(shape.find('B'), std::string::npos);
  for (const auto& card : cards) EXPECT_TRUE(std::regex_match(card, std::regex("\\d{13}")));
  EXPECT_TRUE(std::equal(cards.begin(), cards.begin() + badges, cards.begin() + badges));
  EXPECT_NE(cards.front(), cards.at(1));
}

// A port plugged in between the sizing call and the filling call, however
// long apart: both answer with the list the sizing call measured, whether it
// sized with 0, as the window does, or with a guess too small. The list goes
// out once; the next call scans again.
TEST(PortListOffer, SizingAndFillingAgreeWhenAPortAppearsBetween) {
  for (const int32_t sizingLength : {0, 4}) {
    SCOPED_TRACE(sizingLength);
    std::vector<std::string> ports = {"/dev/ttyS0"};
    PortListOffer offer([&] { return ports; });
    const std::string sized = JoinPortList(ports);
    std::string text(64, ' ');
    int32_t length = sizingLength;
    ASSERT_EQ(offer.Offer(text.data(), &length), TVX_BUFFER_TOO_SMALL);
    ports.push_back("/dev/ttyUSB0");
    ASSERT_EQ(offer.Offer(text.data(), &length), TVX_OK);
    EXPECT_EQ(text.c_str(), sized);
    length = static_cast<int32_t>(text.size());
    ASSERT_EQ(offer.Offer(text.data(), &length), TVX_OK);
    EXPECT_EQ(text.c_str(), JoinPortList(ports));
  }
}

// Copy: fixed texts, cut to fit. Offer: the port list, refused with the
// length needed until it fits whole. Neither writes past the capacity nor
// into a refused buffer.
TEST(OutText, KeepsToTheCapacity) {
  constexpr char kGuard = '#';
  enum Rule { Copy, Offer };
  const struct {
    const char* name;
    Rule rule;
    const char* text;
    int32_t capacity, result;
    const char* written;  // up to the NUL, when accepted
    int32_t length;       // afterwards
  } cases[] = {{"CopyFits", Copy, "USB", 10, TVX_OK, "USB", 4},
               {"CopyExactFit", Copy, "USB", 4, TVX_OK, "USB", 4},
               {"CopyOneShort", Copy, "USB", 3, TVX_OK, "US", 3},
               {"CopyOnlyNul", Copy, "USB", 1, TVX_OK, "", 1},
               {"CopyEmpty", Copy, "", 8, TVX_OK, "", 1},
               {"CopyZeroCapacity", Copy, "USB", 0, TVX_FAILED, "", 0},
               {"CopyNegativeCapacity", Copy, "USB", -5, TVX_FAILED, "", -5},
               {"OfferAskWithZero", Offer, "USB,SIM", 0, TVX_BUFFER_TOO_SMALL, "", 8},
               {"OfferOneShort", Offer, "USB,SIM", 7, TVX_BUFFER_TOO_SMALL, "", 8},
               {"OfferNegative", Offer, "USB,SIM", -1, TVX_BUFFER_TOO_SMALL, "", 8},
               {"OfferExactFit", Offer, "USB,SIM", 8, TVX_OK, "USB,SIM", 8},
               {"OfferRoomy", Offer, "USB,SIM", 32, TVX_OK, "USB,SIM", 8}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    char buffer[32];
    std::memset(buffer, kGuard, sizeof buffer);
    int32_t length = c.capacity;
    EXPECT_EQ((c.rule == Copy ? CopyOutText : OfferOutText)(c.text, buffer, &length), c.result);
    EXPECT_EQ(length, c.length);
    EXPECT_STREQ(c.result == TVX_OK ? buffer : "", c.written);
    const auto touched = static_cast<std::size_t>(c.result == TVX_OK ? c.capacity : 0);
    EXPECT_EQ(std::string_view(buffer, sizeof buffer).find_first_not_of(kGuard, touched),
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
