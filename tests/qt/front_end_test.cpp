// The Qt front end: its adapters, its dispatcher (in order, never to a dead window), the window
// as built, and the whole program but main() reading a pseudo-terminal, also under valgrind.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "control_adapters.h"
#include "deadline.h"
#include "expected_layout.h"
#include "fake_reader_library.h"
#include "frames.h"
#include "module1.h"
#include "msg_box.h"
#include "pty_pair.h"
#include "qt_program.h"
#include "ui_dispatcher.h"

// Readable failure messages for Qt text.
void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace corvane::qt {
namespace {

using testing::OnOtherThread;

// Runs the event loop until `condition` holds or the deadline passes.
bool WaitUntil(const std::function<bool()>& condition) { return QTest::qWaitFor(condition, 10000); }

// Shows `window` and waits until it is active, so shortcuts and focus reach it.
bool ShowActive(QWidget& window) {
  window.show();
  window.activateWindow();
  return QTest::qWaitForWindowActive(&window);
}

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
  EXPECT_TRUE(WaitUntil([&] { return ran.size() == posted.size(); }));
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

// Against its design, in tab order, each caption readable and each label known
// to screen readers.
TEST(WindowLayout, TheWindowAndEveryControlAsDesigned) {
  testing::FakeReaderLibrary library;
  testing::QtProgram program(library);
  QWidget& window = program.Window();
  ASSERT_TRUE(ShowActive(window));
  EXPECT_GE(window.windowIcon().availableSizes().size(), 2) << "the icon's sizes are missing";
  // Twips to pixels at 96 DPI, rounded to the nearest pixel.
  const auto px = [](int twips) { return qRound(twips / 15.0); };
  EXPECT_EQ(window.size(),
            QSize(px(testing::kExpectedClientWidth), px(testing::kExpectedClientHeight)));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  QStringList designed, tabOrder;
  for (const auto& control : testing::kExpectedControls) designed.append(control.name);
  for (QWidget* widget = window.nextInFocusChain(); widget != &window;
       widget = widget->nextInFocusChain()) {
    const QString name = widget->objectName();
    if (designed.contains(name) && !tabOrder.contains(name)) tabOrder.append(name);
  }
  EXPECT_EQ(tabOrder, designed);
  for (const testing::ExpectedControl& control : testing::kExpectedControls) {
    SCOPED_TRACE(control.name);
    auto* widget = window.findChild<QWidget*>(control.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget(), &window);
    EXPECT_EQ(widget->geometry(),
              QRect(px(control.left), px(control.top), px(control.width), px(control.height)));
    EXPECT_EQ(widget->isEnabled(), control.enabled);
    // No caption cut off by its edge, whatever the font; a button's hint adds its frame.
    const QString caption = QString::fromWCharArray(control.caption);
    if (qobject_cast<QLabel*>(widget)) {
      EXPECT_LE(widget->fontMetrics().horizontalAdvance(caption), widget->contentsRect().width());
    }
    if (qobject_cast<QPushButton*>(widget)) {
      EXPECT_LE(widget->sizeHint().width(), widget->width());
    }
    const auto labels =
        QAccessible::queryAccessibleInterface(widget)->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), control.label != nullptr ? 1 : 0);
    if (control.label != nullptr) {
      EXPECT_EQ(labels.front().first->object(), &program.Find<QLabel>(control.label));
    }
    EXPECT_EQ(widget->property("text").toString(), caption);  // the list has none
  }
}

TEST(EndToEnd, AltSStartsReadingAPseudoTerminalAndStopsIt) {
  testing::QtProgram program{Module1::Instance()};
  ASSERT_TRUE(program.Open() && ShowActive(program.Window()));
  // Batch, serial and status, as the operator reads them.
  const auto shown = [&] {
    return program.Find<QLineEdit>("Text1").text() + u' ' +
           program.Find<QLineEdit>("Text2").text() + u' ' + program.Find<QLabel>("Label5").text();
  };
  const auto shows = [&](const char* expected) {
    return WaitUntil([&] { return shown() == QString::fromUtf8(expected); });
  };
  const auto& start = program.Find<QPushButton>("btAttiva");
  const auto& stop = program.Find<QPushButton>("btDisattiva");
  EXPECT_EQ(QApplication::focusWidget(), &start);
  testing::PtyPair reader;
  auto& ports = program.Find<QComboBox>("cbCom");
  ports.addItem(QString::fromStdString(reader.SlavePath()));
  ports.setCurrentIndex(ports.count() - 1);

  // The key clicks at once, as on Windows: no pressed button to wait for.
  QTest::keyClick(&program.Window(), Qt::Key_S, Qt::AltModifier);
  EXPECT_TRUE(!start.isEnabled() && stop.isEnabled());
  ASSERT_TRUE(shows("  Attivo")) << shown().toStdString();
  reader.Write(testing::Frame("0A1B2C3D4E"));
  EXPECT_TRUE(shows("010 0455884110 Lettura OK")) << shown().toStdString();

  // Start is disabled now; the same keys reach the other S, Stop, and only it.
  QTest::keyClick(&program.Window(), Qt::Key_S, Qt::AltModifier);
  EXPECT_TRUE(start.isEnabled() && !stop.isEnabled());
  EXPECT_EQ(shown(), QStringLiteral("010 0455884110 Disabilitato"));
  EXPECT_TRUE(program.Messages().isEmpty());
}

}  // namespace
}  // namespace corvane::qt

// One QApplication for every test, offscreen unless another platform is picked.
int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
