// A storm of notifications through the bounded queue, Stops among them, leaves
// the window as the full sequence delivered one by one would, and the queue
// holds one entry per reader and event class.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "fake_controls.h"
#include "fake_reader_library.h"
#include "form1.h"
#include "scripted_dispatcher.h"

namespace corvane::testing {
namespace {

// A window whose notifications come through the door as from the library's
// threads: delivered as each comes, or left waiting, as in a storm, until the
// test drains the UI thread's work or the operator clicks Stop.
struct DoorWindow {
  explicit DoorWindow(bool waiting) : m_waiting(waiting) {
    door.dispatcher->onUiThread = [this, ui = std::this_thread::get_id()] {
      return std::this_thread::get_id() == ui && !(m_waiting && m_libraryCalling);
    };
  }
  void Notify(int32_t reader, int32_t event, int32_t lparam = 0) {
    m_libraryCalling = true;
    ReaderCallBack(reader, event, lparam, ~lparam);
    m_libraryCalling = false;
  }

  FakeForm form;
  FakeReaderLibrary library;
  Form1 window{form.controls.ForForm1(), form.msgBox, library};
  ScriptedDoor door{[this](const Notification& n) {
    window.CallBackBadge(n.HReader, n.Wparam, n.Lparam, n.UserData);
  }};

 private:
  bool m_waiting;
  bool m_libraryCalling = false;
};

struct Step {
  int32_t reader;
  int32_t event;  // or the operator clicks Stop
  std::wstring card;
  bool stop;
};

// Status, batch, serial and the messages shown.
using Outcome = std::tuple<std::wstring, std::wstring, std::wstring, std::set<std::wstring>>;

Outcome Deliver(const std::vector<Step>& storm, bool waiting) {
  DoorWindow w(waiting);
  // A message box runs the event loop: what waits may come while it is up.
  if (waiting) w.form.msgBox.whileShown = [&](auto&) { w.door.dispatcher->Drain(); };
  std::set<int32_t> readers;
  for (int32_t index = 0; const Step& step : storm) {
    if (step.stop) {
      w.window.btDisattiva_Click();
      continue;
    }
    // A badge's notification comes after the library has stored the badge.
    if (step.event == TVX_EVENT_CARD) w.library.lastCard.written = ToAnsi(step.card);
    w.Notify(step.reader, step.event, index++);
    readers.insert(step.reader);
    EXPECT_LE(QueuedNotifications(), 6 * readers.size());
  }
  w.door.dispatcher->Drain();
  EXPECT_EQ(QueuedNotifications(), 0u);
  const FakeForm& form = w.form;
  return {form.Label5.caption, form.Text1.text, form.Text2.text,
          std::set(form.msgBox.shown.begin(), form.msgBox.shown.end())};
}

TEST(NotificationStorm, MergedQueueEndsWhereTheFullSequenceEnds) {
  std::mt19937 random(20261207);
  const int32_t events[] = {INT32_MIN, -1, 0, 4, 5, 6, 7, 8, 9, 10, 77};
  std::uniform_int_distribution<std::size_t> event(0, std::size(events) - 1);
  std::uniform_int_distribution<int32_t> reader(1, 3), percent(0, 99);
  for (int round = 0; round < 200; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    std::vector<Step> storm(std::uniform_int_distribution<std::size_t>(1, 300)(random));
    for (std::size_t i = 0; i < storm.size(); ++i) {
      storm[i] = {reader(random), events[event(random)],
                  L"0" + std::to_wstring(10 + reader(random)) + std::to_wstring(i),
                  percent(random) < 3};
    }
    EXPECT_EQ(Deliver(storm, true), Deliver(storm, false));
  }
}

// Stop delivers an error that waited; while its box is up, the box's own loop
// runs the delivery already scheduled, which takes the card: each shows once,
// in order, and Stop's status comes last.
TEST(NotificationStorm, StopShowsWhatWaitedOnceEachBeforeItsOwnStatus) {
  DoorWindow w(true);
  w.Notify(9, TVX_EVENT_ERROR);
  w.Notify(9, TVX_EVENT_CARD);
  w.form.msgBox.whileShown = [&](auto&) { w.door.dispatcher->Drain(); };
  w.window.btDisattiva_Click();
  EXPECT_EQ(w.form.journal, (Journal{L"MsgBox Porta persa", L"Text1.Text=010",
                                     L"Text2.Text=1234567890", L"Label5.Caption=Lettura OK",
                                     L"Label5.Caption=Disabilitato", L"btAttiva.Enabled=true",
                                     L"btDisattiva.Enabled=false", L"cbCom.Enabled=true"}));
}

TEST(NotificationQueue, AtTheCapStatusesGoBeforeCardsAndErrors) {
  constexpr auto kCap = static_cast<int32_t>(NotificationQueue::kCapacity);
  NotificationQueue queue;
  EXPECT_TRUE(queue.Push({0, TVX_EVENT_CARD, 0, 0}, 0));  // the first one schedules a delivery
  // Readers 1, 3, 5... report a status, 2, 4, 6... an error.
  for (int32_t reader = 1; reader < kCap; ++reader) {
    EXPECT_FALSE(
        queue.Push({reader, reader % 2 != 0 ? TVX_EVENT_READING : TVX_EVENT_ERROR, 0, 0}, 0));
  }
  queue.Push({kCap, TVX_EVENT_CARD, 0, 0}, 0);           // reader 1's status makes room
  queue.Push({kCap + 1, TVX_EVENT_CARD_GONE, 0, 0}, 0);  // and reader 3's
  EXPECT_EQ(queue.Size(), NotificationQueue::kCapacity);
  bool more = false;
  for (const int32_t expected : {0, 2, 4, 5}) EXPECT_EQ(queue.Pop(more)->HReader, expected);

  // Cards and errors only: a new status finds no room, a new card pushes out
  // the oldest.
  NotificationQueue full;
  for (int32_t reader = 0; reader < kCap; ++reader) full.Push({reader, TVX_EVENT_CARD, 0, 0}, 0);
  full.Unschedule();
  EXPECT_FALSE(full.Push({kCap, TVX_EVENT_READING, 0, 0}, 0)) << "dropped, it schedules nothing";
  full.Push({kCap + 1, TVX_EVENT_ERROR, 0, 0}, 0);
  EXPECT_EQ(full.Pop(more)->HReader, 1);
  EXPECT_EQ(full.Size(), NotificationQueue::kCapacity - 1);
  while (full.Size() > 1) full.Pop(more);
  EXPECT_EQ(full.Pop(more)->HReader, kCap + 1);
}

// Stop takes what waits out of turn and discards the rest: the delivery
// already scheduled finds nothing and unschedules, and a notification that
// entered the door before the discard never joins the queue.
TEST(NotificationQueue, TakenOutOfTurnAndDiscardedKeepsTheScheduleTrue) {
  NotificationQueue queue;
  const uint64_t before = queue.Epoch();
  EXPECT_TRUE(queue.Push({1, TVX_EVENT_CARD, 0, 0}, before));
  queue.Push({1, TVX_EVENT_READING, 0, 0}, before);
  EXPECT_EQ(queue.TakeNext()->Wparam, TVX_EVENT_CARD);
  queue.Discard();
  EXPECT_FALSE(queue.Push({1, TVX_EVENT_CARD, 0, 0}, before));
  EXPECT_EQ(queue.Size(), 0u);
  EXPECT_FALSE(queue.Push({1, TVX_EVENT_CARD, 0, 0}, queue.Epoch())) << "still scheduled";
  bool more = true;
  EXPECT_EQ(queue.Pop(more)->Wparam, TVX_EVENT_CARD);
  EXPECT_FALSE(more);
  EXPECT_TRUE(queue.Push({1, TVX_EVENT_READING, 0, 0}, queue.Epoch())) << "nothing scheduled";
}

}  // namespace
}  // namespace corvane::testing
