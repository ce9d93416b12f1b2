// The Qt window as built, and the whole program but main() driven with a
// pseudo-terminal as the badge reader, which CTest also runs under valgrind.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "expected_layout.h"
#include "fake_reader_library.h"
#include "frames.h"
#include "module1.h"
#include "pty_pair.h"
#include "qt_program.h"
#include "qt_test_support.h"

namespace corvane::qt {
namespace {

// Against its design, in tab order, each caption readable and each label known
// to screen readers.
TEST(WindowLayout, TheWindowAndEveryControlAsDesigned) {
  testing::FakeReaderLibrary library;
  testing::QtProgram program(library);
  QWidget& window = program.Window();
  ASSERT_TRUE(testing::ShowActive(window));
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
  ASSERT_TRUE(program.Open() && testing::ShowActive(program.Window()));
  // Batch, serial and status, as the operator reads them.
  const auto shown = [&] {
    return program.Find<QLineEdit>("Text1").text() + u' ' +
           program.Find<QLineEdit>("Text2").text() + u' ' + program.Find<QLabel>("Label5").text();
  };
  const auto shows = [&](const char* expected) {
    return testing::WaitUntil([&] { return shown() == QString::fromUtf8(expected); });
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
