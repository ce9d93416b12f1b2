// The whole program but main(), with a pseudo-terminal as the badge reader.
// CTest also runs it under valgrind's leak checker.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "frames.h"
#include "module1.h"
#include "pty_pair.h"
#include "qt_program.h"
#include "qt_test_support.h"

namespace corvane::qt {
namespace {

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
