// The Qt adapters as the window logic expects them; the dispatcher brings work
// to the UI thread in order, and never to a dead window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "control_adapters.h"
#include "deadline.h"
#include "msg_box.h"
#include "qt_test_support.h"
#include "ui_dispatcher.h"

namespace corvane::qt {
namespace {

using testing::OnOtherThread;

TEST(QtComboBox, SelectionFollowsOnlyTheProgramsAndEntriesStayAsAdded) {
  QComboBox widget;
  QtComboBox combo(widget);
  combo.Append(L"COM1");
  combo.Select(0);
  combo.Clear();
  // A Qt combo box by itself selects the first entry added to an empty list.
  combo.Append(L"/dev/ttyS\u00e8");
  EXPECT_EQ(combo.Text(), L"") << "entries added after Clear are not selected";
  combo.Select(0);
  combo.Append(L"USB");
  EXPECT_EQ(combo.Text(), L"/dev/ttyS\u00e8") << "adding keeps the selection";
  EXPECT_EQ(combo.Count(), 2);
  EXPECT_EQ(combo.EntryAt(1), L"USB");
}

// The box is answered from inside its own loop, whatever it shows: what it
// showed is judged once it is gone.
TEST(QtMsgBox, ShowsTheTextAsTypedModalWithOneOkAndNoIcon) {
  QWidget parent;
  QtMsgBox msgBox(&parent);
  QStringList shown;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QMessageBox*>(window);
      if (box == nullptr || !box->isVisible()) continue;
      shown.append(QStringList{box->windowTitle(), box->text(),
                               box->textFormat() == Qt::PlainText ? "plain" : "markup",
                               box->icon() == QMessageBox::NoIcon ? "no icon" : "icon",
                               box->standardButtons() == QMessageBox::Ok ? "OK" : "buttons",
                               QApplication::activeModalWidget() == box ? "modal" : "modeless"}
                       .join(u'|'));
      box->done(QMessageBox::Ok);
    }
  });
  answer.start(10);
  // Error texts come from the reader library: markup in them is shown as typed.
  msgBox.Show(L"<b>porta</b> & <a href=x>y</a> \u00e8");
  EXPECT_EQ(shown,
            QStringList{"Corvane|<b>porta</b> & <a href=x>y</a> \u00e8|plain|no icon|OK|modal"});
}

TEST(QtUiDispatcher, RunsForeignThreadWorkOnTheUiThreadInOrder) {
  QObject context;
  QtUiDispatcher dispatcher(context);
  std::vector<int> ran, posted(200);
  std::iota(posted.begin(), posted.end(), 0);
  ASSERT_TRUE(OnOtherThread([&] {
    for (const int task : posted) {
      EXPECT_TRUE(dispatcher.Post([&, task] {
        EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
        ran.push_back(task);
      }));
    }
  }));
  EXPECT_TRUE(testing::WaitUntil([&] { return ran.size() == posted.size(); }));
  EXPECT_EQ(ran, posted);
}

// Work queued before the context goes, or posted while it is destroyed, must
// not run on the dead object.
TEST(QtUiDispatcher, DropsWorkRacingTheContextsDestructionAndRefusesLaterWork) {
  for (int round = 0; round < 50; ++round) {
    auto context = std::make_unique<QObject>();
    QtUiDispatcher dispatcher(*context);
    std::atomic<int> ran{0};
    ASSERT_TRUE(dispatcher.Post([&] { ++ran; }));
    ASSERT_TRUE(OnOtherThread(
        [&] {
          for (int i = 0; i < 1000 && dispatcher.Post([&] { ++ran; }); ++i) {
          }
        },
        [&] { context.reset(); }));
    QCoreApplication::processEvents();
    ASSERT_TRUE(OnOtherThread([&] { EXPECT_FALSE(dispatcher.Post([&] { ++ran; })); }));
    QCoreApplication::processEvents();
    ASSERT_EQ(ran, 0) << "round " << round;
  }
}

}  // namespace
}  // namespace corvane::qt
