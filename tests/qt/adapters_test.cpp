// The Qt front end's adapters behave as the window logic expects: the combo
// box, the message box shown for real and answered by a timer, and the
// dispatcher, which brings work from reader threads to the UI thread, in
// order, and never to a dead window.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <memory>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "control_adapters.h"
#include "msg_box.h"
#include "qt_test_support.h"
#include "ui_dispatcher.h"

namespace corvane::qt {
namespace {

TEST(QtComboBox, SelectionFollowsOnlyTheProgramsAndEntriesStayAsAdded) {
  QComboBox widget;
  QtComboBox combo(widget);
  // Every entry, and what an index just outside the list reads on each side.
  const auto entries = [&] {
    std::vector<std::wstring> read;
    for (int index = -1; index <= combo.Count(); ++index) read.push_back(combo.EntryAt(index));
    return read;
  };
  combo.Append(L"COM1");
  combo.Select(0);
  combo.Clear();
  // A Qt combo box by itself selects the first entry added to an empty list.
  combo.Append(L"USB");
  combo.Append(L"");
  EXPECT_EQ(combo.Text(), L"") << "entries added after Clear are not selected";
  combo.Select(0);
  combo.Append(L"/dev/ttyS\u00e8");
  EXPECT_EQ(combo.Text(), L"USB") << "adding keeps the selection";
  combo.Select(1);
  EXPECT_EQ(combo.Text(), L"") << "an empty entry selects as empty";
  combo.Select(2);
  EXPECT_EQ(combo.Text(), L"/dev/ttyS\u00e8") << "non-ASCII entries round-trip";
  EXPECT_EQ(entries(), (std::vector<std::wstring>{L"", L"USB", L"", L"/dev/ttyS\u00e8", L""}));
}

TEST(QtMsgBox, ShowsTheTextOnceWithOneOkAndNoIcon) {
  const std::wstring texts[] = {L"Porta seriale non utilizzabile",
                                // Error texts come from the reader library:
                                // markup in them is shown as typed.
                                L"<b>porta</b> & <a href=x>y</a>",
                                L"Connessione persa \u00e8 \u00e0", L""};
  for (const std::wstring& text : texts) {
    SCOPED_TRACE(QString::fromStdWString(text).toStdString());
    QWidget parent;
    QtMsgBox msgBox(&parent);
    int answered = 0;
    // Runs inside the box's own event loop, once the box is up.
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->windowTitle(), QStringLiteral("Corvane"));
      EXPECT_EQ(box->text(), QString::fromStdWString(text));
      EXPECT_EQ(box->textFormat(), Qt::PlainText);
      EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
      EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
      ++answered;
      box->button(QMessageBox::Ok)->click();
    });
    msgBox.Show(text);
    EXPECT_EQ(answered, 1);
  }
}

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
