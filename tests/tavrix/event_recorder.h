// What the library's readers notify, each with its text fetched inside, as the program does.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "deadline.h"
#include "tavrix.h"

namespace tavrix::testing {

using corvane::testing::PollUntil;

// The error text for an error, the card data otherwise; nothing when refused.
inline std::optional<std::string> LastText(int32_t reader, int32_t event = TVX_EVENT_CARD) {
  char text[256];
  int32_t length = sizeof text;
  const auto fetch = event == TVX_EVENT_ERROR ? TvxGetLastError : TvxGetLastCardData;
  if (fetch(reader, text, &length) != TVX_OK) return std::nullopt;
  return std::string(text, static_cast<std::size_t>(length - 1));
}

struct Notification {
  int32_t reader, event;
  std::string text;
};

inline std::mutex g_heardMutex;
inline std::vector<Notification> g_heard;
// Runs inside each notification before it is recorded; set while no reader runs.
inline std::function<void(const Notification&)> g_onNotify;

inline int32_t TVX_CALL Record(int32_t reader, int32_t event, int32_t, int32_t) {
  Notification heard{reader, event, LastText(reader, event).value_or("")};
  if (g_onNotify) g_onNotify(heard);
  const std::lock_guard lock(g_heardMutex);
  g_heard.push_back(std::move(heard));
  return 0;
}

inline std::vector<Notification> Heard(int32_t reader) {
  const std::lock_guard lock(g_heardMutex);
  std::vector<Notification> heard;
  std::ranges::copy_if(g_heard, back_inserter(heard), [&](auto& n) { return n.reader == reader; });
  return heard;
}

inline std::vector<int32_t> Events(int32_t reader) {
  std::vector<int32_t> events;
  for (const Notification& n : Heard(reader)) events.push_back(n.event);
  return events;
}

inline bool WaitFor(int32_t reader, int32_t event, std::ptrdiff_t count = 1) {
  return PollUntil([&] { return std::ranges::count(Events(reader), event) >= count; });
}

// A reader on `port` that notifies Record, once it reads.
inline int32_t Start(const std::string& port) {
  const int32_t reader = TvxStartCallBack(port.c_str(), &Record, 0);
  EXPECT_TRUE(reader > 0 && WaitFor(reader, TVX_EVENT_READING)) << port;
  return reader;
}

struct Initialized : ::testing::Test {
  void SetUp() override {
    g_heard.clear();
    ASSERT_EQ(TvxInitialize(), TVX_OK);
  }
  void TearDown() override {
    TvxUninitialize();
    g_onNotify = nullptr;
  }
};

}  // namespace tavrix::testing
