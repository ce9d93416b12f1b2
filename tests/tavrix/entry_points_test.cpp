// The library through its exported entry points, as a program loads it.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "event_recorder.h"
#include "tavrix/port_list.h"
#include "tavrix/tavrix.h"

namespace tavrix {
namespace {

using testing::EventRecorder;

class EntryPoints : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(TvxInitialize(), TVX_OK); }
  void TearDown() override { TvxUninitialize(); }
};

std::string PortsAvailable() {
  int32_t length = 0;
  if (TvxPortsAvailable(nullptr, &length) != TVX_BUFFER_TOO_SMALL) return "<no size>";
  std::string text(static_cast<std::size_t>(length), ' ');
  if (TvxPortsAvailable(text.data(), &length) != TVX_OK) return "<refused>";
  text.resize(static_cast<std::size_t>(length - 1));
  return text;
}

TEST(EntryPointsBeforeInitialize, RefuseToStartButListPorts) {
  TvxUninitialize();
  EventRecorder recorder;
  EXPECT_EQ(TvxStartCallBack("SIM", &EventRecorder::Notify, recorder.UserData()), TVX_FAILED);
  EXPECT_EQ(TvxStart("SIM"), TVX_FAILED);
  EXPECT_EQ(PortsAvailable().substr(0, 4), "USB,");
  // Start works once initialised, and not after the library is brought down.
  ASSERT_EQ(TvxInitialize(), TVX_OK);
  const int32_t reader = TvxStart("SIM");
  EXPECT_GT(reader, 0);
  TvxUninitialize();
  EXPECT_EQ(TvxStart("SIM"), TVX_FAILED);
  EXPECT_EQ(TvxStop(reader), TVX_FAILED);
}

TEST_F(EntryPoints, PortListHasUsbFirstSimLastAndDevicesBetween) {
  const std::string list = PortsAvailable();
  std::vector<std::string> names;
  for (std::size_t at = 0; at <= list.size();) {
    const std::size_t comma = std::min(list.find(',', at), list.size());
    names.push_back(list.substr(at, comma - at));
    at = comma + 1;
  }
  ASSERT_GE(names.size(), 2u) << list;
  EXPECT_EQ(names.front(), "USB");
  EXPECT_EQ(names.back(), "SIM");
  for (std::size_t i = 1; i + 1 < names.size(); ++i) {
    EXPECT_TRUE(std::filesystem::exists(names[i])) << names[i];
  }
}

TEST_F(EntryPoints, PortListAnswersTheLengthNeededUntilItFits) {
  int32_t needed = 0;
  ASSERT_EQ(TvxPortsAvailable(nullptr, &needed), TVX_BUFFER_TOO_SMALL);
  ASSERT_GE(needed, 8);  // "USB,SIM" and the NUL
  std::vector<char> buffer(static_cast<std::size_t>(needed) + 8, '#');
  int32_t length = needed - 1;
  EXPECT_EQ(TvxPortsAvailable(buffer.data(), &length), TVX_BUFFER_TOO_SMALL);
  EXPECT_EQ(length, needed);
  EXPECT_EQ(buffer[0], '#');
  length = needed;
  EXPECT_EQ(TvxPortsAvailable(buffer.data(), &length), TVX_OK);
  EXPECT_EQ(length, needed);
  EXPECT_EQ(std::strlen(buffer.data()), static_cast<std::size_t>(needed - 1));
  EXPECT_EQ(buffer[static_cast<std::size_t>(needed)], '#');
  EXPECT_EQ(TvxPortsAvailable(buffer.data(), nullptr), TVX_FAILED);
}

TEST_F(EntryPoints, FixedTextsAreCutToTheBuffer) {
  char text[4];
  int32_t length = sizeof text;
  ASSERT_EQ(TvxGetVersion(text, &length), TVX_OK);
  EXPECT_EQ(length, 4);
  EXPECT_STREQ(text, "Tav");
  length = sizeof text;
  ASSERT_EQ(TvxUSBCOMPort(text, &length), TVX_OK);
  EXPECT_STREQ(text, "USB");
  EXPECT_EQ(length, 4);
  length = 0;
  EXPECT_EQ(TvxUSBCOMPort(text, &length), TVX_FAILED);
  EXPECT_EQ(TvxGetVersion(nullptr, &length), TVX_FAILED);
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

TEST_F(EntryPoints, UnknownHandlesAreRefused) {
  char text[16];
  for (int32_t handle : {0, -1, -2, 999999, INT32_MAX}) {
    int32_t length = sizeof text;
    EXPECT_EQ(TvxStop(handle), TVX_FAILED) << handle;
    EXPECT_EQ(TvxGetLastError(handle, text, &length), TVX_FAILED) << handle;
    EXPECT_EQ(TvxGetLastCardData(handle, text, &length), TVX_FAILED) << handle;
  }
}

TEST_F(EntryPoints, HandlesArePositiveIncreasingAndNeverReused) {
  int32_t previous = 0;
  for (int i = 0; i < 4; ++i) {
    const int32_t reader = TvxStart("SIM");
    ASSERT_GT(reader, previous);
    EXPECT_EQ(TvxStop(reader), TVX_OK);
    EXPECT_EQ(TvxStop(reader), TVX_FAILED);
    previous = reader;
  }
  TvxUninitialize();
  ASSERT_EQ(TvxInitialize(), TVX_OK);
  EXPECT_GT(TvxStart("SIM"), previous);
}

TEST_F(EntryPoints, SimulatorReportsReadingThenABadge) {
  EventRecorder recorder;
  const int32_t reader = TvxStartCallBack("SIM", &EventRecorder::Notify, recorder.UserData());
  ASSERT_GT(reader, 0);
  ASSERT_TRUE(recorder.WaitFor(TVX_EVENT_CARD));
  EXPECT_EQ(TvxStop(reader), TVX_OK);
  const auto notifications = recorder.Notifications();
  ASSERT_GE(notifications.size(), 2u);
  EXPECT_EQ(notifications[0].event, TVX_EVENT_READING);
  EXPECT_EQ(notifications[1].event, TVX_EVENT_CARD);
  EXPECT_EQ(notifications[1].text.size(), 13u);
  for (const auto& n : notifications) {
    EXPECT_EQ(n.reader, reader);
    EXPECT_EQ(n.lparam, 0);
  }
}

}  // namespace
}  // namespace tavrix
