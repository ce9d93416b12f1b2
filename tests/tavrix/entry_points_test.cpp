// The library through its exported entry points, as a program loads it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "event_recorder.h"
#include "port_list.h"
#include "tavrix.h"

namespace tavrix {
namespace {

using testing::EventRecorder;

class EntryPoints : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(TvxInitialize(), TVX_OK); }
  void TearDown() override { TvxUninitialize(); }
};

// The port list as the window reads it: the length first, then the text,
// split at every comma.
std::vector<std::string> PortsAvailable() {
  int32_t length = 0;
  if (TvxPortsAvailable(nullptr, &length) != TVX_BUFFER_TOO_SMALL) return {"<no size>"};
  std::string text(static_cast<std::size_t>(length), ' ');
  if (TvxPortsAvailable(text.data(), &length) != TVX_OK) return {"<refused>"};
  text.resize(static_cast<std::size_t>(length - 1));
  std::vector<std::string> names;
  for (std::size_t at = 0; at <= text.size();) {
    const std::size_t comma = std::min(text.find(',', at), text.size());
    names.push_back(text.substr(at, comma - at));
    at = comma + 1;
  }
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
  EXPECT_EQ(names.back(), "SIM");
  for (std::size_t i = 1; i + 1 < names.size(); ++i) {
    EXPECT_TRUE(std::filesystem::exists(names[i])) << names[i];
  }
}

TEST_F(EntryPoints, RejectNamesThatAreNoReader) {
  EventRecorder recorder;
  const auto start = [&](const char* port) {
    return TvxStartCallBack(port, &EventRecorder::Notify, recorder.UserData());
  };
  EXPECT_EQ(start(nullptr), TVX_FAILED);
  EXPECT_EQ(TvxStartCallBack("SIM", nullptr, 0), TVX_FAILED);
  EXPECT_EQ(TvxStart(nullptr), TVX_FAILED);
  for (const char* port :
       {"", "sim", "COM1", "NOPE", "/dev/ttyNONEXISTENT", "/tmp", "/etc/hostname"}) {
    EXPECT_EQ(start(port), TVX_FAILED) << port;
  }
  if (!FirstUsbSerialPort()) {
    EXPECT_EQ(start("USB"), TVX_FAILED);
  }
  EXPECT_TRUE(recorder.Events().empty());
}

// Readers start only while the library is initialised, and a stale handle
// never reaches a later reader.
TEST(EntryPointsAcrossInitialize, StartOnlyWhenInitialisedAndNeverReuseAHandle) {
  TvxUninitialize();
  EXPECT_EQ(TvxStartCallBack("SIM", &EventRecorder::Notify, 0), TVX_FAILED);
  EXPECT_EQ(TvxStart("SIM"), TVX_FAILED);
  EXPECT_EQ(PortsAvailable().front(), "USB") << "ports are listed before Initialize";
  ASSERT_EQ(TvxInitialize(), TVX_OK);
  int32_t previous = 0;
  for (int i = 0; i < 3; ++i) {
    const int32_t reader = TvxStart("SIM");
    ASSERT_GT(reader, previous);
    EXPECT_EQ(TvxStop(reader), TVX_OK);
    previous = reader;
  }
  const int32_t running = TvxStart("SIM");
  TvxUninitialize();
  EXPECT_EQ(TvxStart("SIM"), TVX_FAILED);
  EXPECT_EQ(TvxStop(running), TVX_FAILED) << "stopped by Uninitialize";
  ASSERT_EQ(TvxInitialize(), TVX_OK);
  EXPECT_GT(TvxStart("SIM"), running);
  char text[16];
  for (int32_t handle : {0, -1, -2, 999999, INT32_MAX}) {
    int32_t length = sizeof text;
    EXPECT_EQ(TvxStop(handle), TVX_FAILED) << handle;
    EXPECT_EQ(TvxGetLastError(handle, text, &length), TVX_FAILED) << handle;
    EXPECT_EQ(TvxGetLastCardData(handle, text, &length), TVX_FAILED) << handle;
  }
  TvxUninitialize();
}

TEST_F(EntryPoints, SimulatorReportsReadingThenABadge) {
  EventRecorder recorder;
  const int32_t reader = TvxStartCallBack("SIM", &EventRecorder::Notify, recorder.UserData());
  ASSERT_GT(reader, 0);
  ASSERT_TRUE(recorder.WaitFor(TVX_EVENT_CARD));
  EXPECT_EQ(TvxStop(reader), TVX_OK);
  const auto notifications = recorder.Notifications();
  ASSERT_GE(notifications.size(), 2u);
  EXPECT_EQ(recorder.Events()[0], TVX_EVENT_READING);
  EXPECT_EQ(notifications[1].event, TVX_EVENT_CARD);
  EXPECT_EQ(notifications[1].text.size(), 13u);
  for (const auto& n : notifications) EXPECT_TRUE(n.reader == reader && n.lparam == 0);
}

}  // namespace
}  // namespace tavrix
