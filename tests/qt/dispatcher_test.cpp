// Work from reader threads reaches the UI thread, in order, and never a dead
// window.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QThread>
#include <atomic>
#include <memory>
#include <numeric>
#include <thread>
#include <vector>

#include "fake_reader_library.h"
#include "qt_program.h"
#include "qt_test_support.h"
#include "qt_ui_dispatcher.h"
#include "reader_callback.h"

namespace corvane::qt {
namespace {

TEST(QtUiDispatcher, RunsForeignThreadWorkOnTheUiThreadInOrder) {
  QObject context;
  QtUiDispatcher dispatcher(context);
  std::vector<int> ran, posted(200);
  std::iota(posted.begin(), posted.end(), 0);
  std::thread([&] {
    for (const int task : posted) {
      EXPECT_TRUE(dispatcher.Post([&, task] {
        EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
        ran.push_back(task);
      }));
    }
  }).join();
  EXPECT_TRUE(testing::WaitUntil([&] { return ran.size() == posted.size(); }));
  EXPECT_EQ(ran, posted);
}

// Work queued before the context goes, or posted while it is being destroyed
// on the UI thread, neither crashes nor runs on the dead object; after it,
// work is refused.
TEST(QtUiDispatcher, DropsWorkRacingTheContextsDestructionAndRefusesLaterWork) {
  for (int round = 0; round < 50; ++round) {
    auto context = std::make_unique<QObject>();
    QtUiDispatcher dispatcher(*context);
    std::atomic<int> ran{0};
    ASSERT_TRUE(dispatcher.Post([&] { ++ran; }));
    std::atomic<bool> stop{false};
    std::thread poster([&] {
      while (!stop && dispatcher.Post([&] { ++ran; })) {
      }
    });
    context.reset();
    stop = true;
    poster.join();
    QCoreApplication::processEvents();
    std::thread([&] { EXPECT_FALSE(dispatcher.Post([&] { ++ran; })); }).join();
    QCoreApplication::processEvents();
    ASSERT_EQ(ran, 0) << "round " << round;
  }
}

// The door, the dispatcher and the window together: a reader thread's
// notification changes the window on the UI thread; one that arrives after
// the window is gone is dropped.
TEST(ReaderCallBackThroughQt, ReachesTheLiveWindowOnlyFromTheUiThread) {
  testing::FakeReaderLibrary library;
  auto program = std::make_unique<testing::QtProgram>(library);
  auto* status = &program->Find<QLabel>("Label5");

  std::thread([] { ReaderCallBack(5, TVX_EVENT_READING, 0, 0); }).join();
  EXPECT_EQ(status->text(), QStringLiteral("Disabled"));  // not touched off the UI thread
  ASSERT_TRUE(testing::WaitUntil([&] { return status->text() == QStringLiteral("Attivo"); }));

  std::thread([] { ReaderCallBack(5, TVX_EVENT_CARD, 0, 0); }).join();
  program.reset();
  const auto callsAfterClose = library.calls.size();
  QCoreApplication::processEvents();
  EXPECT_EQ(library.calls.size(), callsAfterClose);  // no fetch for the dropped card
}

}  // namespace
}  // namespace corvane::qt
