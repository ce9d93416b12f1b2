// A storm of notifications through the bounded queue leaves the window as the
// full sequence delivered one by one would, and the queue stays bounded.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "fake_controls.h"
#include "fake_reader_library.h"
#include "form1.h"
#include "notification_queue.h"
#include "scripted_dispatcher.h"

namespace corvane::testing {
namespace {

class Target final : public NotificationTarget {
 public:
  explicit Target(Form1& form) : m_form(form) {}
  void CallBackBadge(int32_t HReader, int32_t Wparam, int32_t Lparam, int32_t UserData) override {
    m_form.CallBackBadge(HReader, Wparam, Lparam, UserData);
  }

 private:
  Form1& m_form;
};

struct Window {
  FakeForm form;
  FakeReaderLibrary library;
  Form1 logic{form.controls, form.msgBox, library};
  Target target{logic};
  std::shared_ptr<ScriptedDispatcher> dispatcher = std::make_shared<ScriptedDispatcher>();
  // Until the test drains the queue, every notification comes from "another
  // thread" and waits, as during a storm.
  bool onUiThread = false;

  Window() {
    dispatcher->onUiThread = [this] { return onUiThread; };
    SetUiDispatcher(dispatcher);
    SetNotificationTarget(&target);
  }
  ~Window() {
    SetNotificationTarget(nullptr);
    SetUiDispatcher(nullptr);
  }
  // A badge's notification comes after the library has stored the badge.
  void Notify(const Notification& n, const std::wstring& card) {
    if (n.Wparam == TVX_EVENT_CARD) library.lastCard.written = card;
    ReaderCallBack(n.HReader, n.Wparam, n.Lparam, n.UserData);
  }
  std::set<std::wstring> Messages() const {
    return {form.msgBox.shown.begin(), form.msgBox.shown.end()};
  }
};

TEST(NotificationStorm, MergedQueueEndsWhereTheFullSequenceEnds) {
  std::mt19937 random(20261207);
  for (int round = 0; round < 200; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    std::uniform_int_distribution<int> event(4, 9);
    std::uniform_int_distribution<int> small(0, 2);
    const std::size_t length = std::uniform_int_distribution<std::size_t>(1, 300)(random);
    std::vector<std::pair<Notification, std::wstring>> storm;
    for (std::size_t i = 0; i < length; ++i) {
      const Notification n{1 + small(random), event(random), small(random), 0};
      storm.push_back({n, L"0" + std::to_wstring(10 + small(random)) + std::to_wstring(i)});
    }

    std::set<std::wstring> fullMessages;
    std::wstring fullStatus, fullBatch, fullSerial;
    {
      Window full;
      full.onUiThread = true;  // each one delivered as it comes
      for (const auto& [n, card] : storm) full.Notify(n, card);
      fullMessages = full.Messages();
      fullStatus = full.form.Label5.caption;
      fullBatch = full.form.Text1.text;
      fullSerial = full.form.Text2.text;
    }

    Window merged;
    std::set<Notification, bool (*)(const Notification&, const Notification&)> distinct(
        [](const Notification& a, const Notification& b) {
          return std::tie(a.HReader, a.Wparam, a.Lparam) < std::tie(b.HReader, b.Wparam, b.Lparam);
        });
    for (const auto& [n, card] : storm) {
      merged.Notify(n, card);
      distinct.insert(n);
      ASSERT_LE(QueuedNotifications(), distinct.size());
    }
    merged.onUiThread = true;
    merged.dispatcher->Drain();
    EXPECT_EQ(QueuedNotifications(), 0u);
    EXPECT_EQ(merged.form.Label5.caption, fullStatus);
    EXPECT_EQ(merged.form.Text1.text, fullBatch);
    EXPECT_EQ(merged.form.Text2.text, fullSerial);
    EXPECT_EQ(merged.Messages(), fullMessages);
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
