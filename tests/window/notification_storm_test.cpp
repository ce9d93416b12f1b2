// A storm of notifications through the bounded queue leaves the window as the
// full sequence delivered one by one would, and the queue stays bounded.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "fake_controls.h"
#include "fake_reader_library.h"
#include "form1.h"
#include "scripted_dispatcher.h"

namespace corvane::testing {
namespace {

using Storm = std::vector<std::pair<Notification, std::wstring>>;  // with each badge's card

// Status, batch, serial and the messages shown.
using Outcome = std::tuple<std::wstring, std::wstring, std::wstring, std::set<std::wstring>>;

// Delivered as each comes, or left waiting, as in a storm, until the UI runs.
Outcome Deliver(const Storm& storm, bool waiting) {
  FakeForm form;
  FakeReaderLibrary library;
  Form1 window(form.controls, form.msgBox, library);
  ScriptedDoor door([&](const Notification& n) {
    window.CallBackBadge(n.HReader, n.Wparam, n.Lparam, n.UserData);
  });
  door.dispatcher->onUiThread = [&] { return !waiting; };
  std::set<std::tuple<int32_t, int32_t, int32_t>> distinct;
  for (const auto& [n, card] : storm) {
    // A badge's notification comes after the library has stored the badge.
    if (n.Wparam == TVX_EVENT_CARD) library.lastCard.written = ToAnsi(card);
    ReaderCallBack(n.HReader, n.Wparam, n.Lparam, n.UserData);
    distinct.insert({n.HReader, n.Wparam, n.Lparam});
    EXPECT_LE(QueuedNotifications(), distinct.size());
  }
  waiting = false;
  door.dispatcher->Drain();
  EXPECT_EQ(QueuedNotifications(), 0u);
  return {form.Label5.caption, form.Text1.text, form.Text2.text,
          std::set(form.msgBox.shown.begin(), form.msgBox.shown.end())};
}

TEST(NotificationStorm, MergedQueueEndsWhereTheFullSequenceEnds) {
  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> event(4, 9), small(0, 2);
  for (int round = 0; round < 200; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    Storm storm(std::uniform_int_distribution<std::size_t>(1, 300)(random));
    for (std::size_t i = 0; i < storm.size(); ++i) {
      storm[i] = {{1 + small(random), event(random), small(random), 0},
                  L"0" + std::to_wstring(10 + small(random)) + std::to_wstring(i)};
    }
    EXPECT_EQ(Deliver(storm, true), Deliver(storm, false));
  }
}

TEST(NotificationQueue, AtTheCapTheOldestGoesAndAStoppedReaderLeavesNothing) {
  NotificationQueue queue;
  const auto count = static_cast<int32_t>(NotificationQueue::kCapacity) + 100;
  EXPECT_TRUE(queue.Push({1, 8, 0, 0}));  // the first one schedules a delivery
  for (int32_t i = 1; i < count; ++i) EXPECT_FALSE(queue.Push({1, 8, i, 0}));
  queue.Push({2, 8, 0, 0});
  EXPECT_EQ(queue.Size(), NotificationQueue::kCapacity);

  bool more = false;
  EXPECT_EQ(queue.Pop(more)->Lparam, 101);  // 101 made room: the newest stay
  EXPECT_TRUE(more);
  queue.DropReader(1);
  EXPECT_EQ(queue.Pop(more)->HReader, 2);
  EXPECT_FALSE(more);
  EXPECT_TRUE(queue.Push({1, 8, 0, 0}));  // nothing scheduled any more
}

}  // namespace
}  // namespace corvane::testing
