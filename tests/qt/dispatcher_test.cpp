// Work from reader threads reaches the UI thread, in order, and never a dead
// window.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <atomic>
#include <memory>
#include <numeric>
#include <thread>
#include <vector>

#include "qt_test_support.h"
#include "qt_ui_dispatcher.h"

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

}  // namespace
}  // namespace corvane::qt
