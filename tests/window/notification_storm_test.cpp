// A storm through the bounded queue, Stops among it, leaves the window as
// delivering each notification would, one queued per reader and event class.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <tuple>

#include "fake_controls.h"
#include "fake_reader_library.h"
#include "form1.h"
#include "scripted_dispatcher.h"

namespace corvane::testing {
namespace {

// Notifications enter the door as from the library's threads: delivered at
// once or, `waiting`, held until the test drains them or Stop is clicked. A
// message box runs the event loop: what waits may come while it is up.
struct DoorWindow {
  explicit DoorWindow(bool waiting) {
    door.dispatcher->onUiThread = [this, waiting] { return !(waiting && libraryCalling); };
    if (waiting) form.msgBox.whileShown = [this](auto&) { door.dispatcher->Drain(); };
  }
  void Notify(const Notification& n) {
    libraryCalling = true;
    ReaderCallBack(n.HReader, n.Wparam, n.Lparam, n.UserData);
    libraryCalling = false;
  }

  bool libraryCalling = false;
  FakeForm form;
  FakeReaderLibrary library;
  Form1 window{form.controls.ForForm1(), form.msgBox, library};
  ScriptedDoor door{[this](const Notification& n) {
    window.CallBackBadge(n.HReader, n.Wparam, n.Lparam, n.UserData);
  }};
};

// Status, batch, serial and the messages shown.
using Outcome = std::tuple<std::wstring, std::wstring, std::wstring, std::set<std::wstring>>;

Outcome Deliver(uint32_t seed, bool waiting) {
  DoorWindow w(waiting);
  std::mt19937 random(seed);
  const int32_t events[] = {INT32_MIN, -1, 0, 4, 5, 6, 7, 8, 9, 10, 77};
  std::uniform_int_distribution<int32_t> event(0, std::ssize(events) - 1), steps(1, 300),
      reader(1, 3), percent(0, 99);
  std::set<int32_t> readers;
  for (int32_t step = 0, end = steps(random); step < end; ++step) {
    const Notification n{reader(random), events[event(random)], step, ~step};
    if (percent(random) < 3) {
      w.window.btDisattiva_Click();
      continue;
    }
    // A badge's notification comes after the library has stored the badge.
    if (n.Wparam == TVX_EVENT_CARD) w.library.lastCard.written = "0" + std::to_string(n.Lparam);
    w.Notify(n);
    readers.insert(n.HReader);
    EXPECT_LE(QueuedNotifications(), 6 * readers.size());
  }
  w.door.dispatcher->Drain();
  EXPECT_EQ(QueuedNotifications(), 0u);
  return {w.form.Label5.caption, w.form.Text1.text, w.form.Text2.text,
          std::set(w.form.msgBox.shown.begin(), w.form.msgBox.shown.end())};
}

TEST(NotificationStorm, MergedQueueEndsWhereTheFullSequenceEnds) {
  for (uint32_t round = 0; round < 200; ++round) {
    EXPECT_EQ(Deliver(round, true), Deliver(round, false)) << "round " << round;
  }
}

// The box of the error Stop delivers runs the delivery already scheduled, which
// takes the card: each must show once, in order, before Stop's status.
TEST(NotificationStorm, StopShowsWhatWaitedOnceEachBeforeItsOwnStatus) {
  DoorWindow w(true);
  w.Notify({9, TVX_EVENT_ERROR, 0, 0});
  w.Notify({9, TVX_EVENT_CARD, 0, 0});
  w.window.btDisattiva_Click();
  EXPECT_EQ(w.form.journal, (Journal{L"MsgBox Porta persa", L"Text1.Text=010",
                                     L"Text2.Text=1234567890", L"Label5.Caption=Lettura OK",
                                     L"Label5.Caption=Disabilitato", L"btAttiva.Enabled=true",
                                     L"btDisattiva.Enabled=false", L"cbCom.Enabled=true"}));
}

TEST(NotificationQueue, AtTheCapStatusesGoFirstAndWhatEnteredBeforeADiscardNeverJoins) {
  constexpr auto kCap = static_cast<int32_t>(NotificationQueue::kCapacity);
  NotificationQueue queue;
  EXPECT_TRUE(queue.Push({0, TVX_EVENT_CARD, 0, 0}, 0));  // the first one schedules a delivery
  for (int32_t reader = 1; reader < kCap; ++reader) {
    EXPECT_FALSE(
        queue.Push({reader, reader % 2 != 0 ? TVX_EVENT_READING : TVX_EVENT_ERROR, 0, 0}, 0));
  }
  queue.Push({kCap, TVX_EVENT_CARD, 0, 0}, 0);           // reader 1's status makes room
  queue.Push({kCap + 1, TVX_EVENT_CARD_GONE, 0, 0}, 0);  // and reader 3's
  EXPECT_EQ(queue.Size(), NotificationQueue::kCapacity);
  bool more = false;
  for (const int32_t expected : {0, 2, 4, 5}) EXPECT_EQ(queue.Pop(more)->HReader, expected);

  // Cards and errors only: a new status finds no room, a new card pushes out the oldest.
  NotificationQueue full;
  for (int32_t reader = 0; reader < kCap; ++reader) full.Push({reader, TVX_EVENT_CARD, 0, 0}, 0);
  full.Unschedule();
  EXPECT_FALSE(full.Push({kCap, TVX_EVENT_READING, 0, 0}, 0)) << "dropped, it schedules nothing";
  full.Push({kCap + 1, TVX_EVENT_ERROR, 0, 0}, 0);
  EXPECT_EQ(full.Pop(more)->HReader, 1);
  EXPECT_EQ(full.Size(), NotificationQueue::kCapacity - 1);
  while (full.Size() > 1) full.Pop(more);
  EXPECT_EQ(full.Pop(more)->HReader, kCap + 1);

  // Stop's discard empties the queue; what entered the door before it never joins.
  const uint64_t before = queue.Epoch();
  queue.Discard();
  EXPECT_FALSE(queue.Push({1, TVX_EVENT_CARD, 0, 0}, before));
  EXPECT_EQ(queue.Size(), 0u);
  queue.Push({1, TVX_EVENT_CARD, 0, 0}, queue.Epoch());
  EXPECT_EQ(queue.Size(), 1u);
}

}  // namespace
}  // namespace corvane::testing
