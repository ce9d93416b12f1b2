// Keys reach the window logic through the Qt window; what a failure below it
// does is the program shell's, tested there.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <string>

#include "fake_reader_library.h"
#include "qt_program.h"
#include "qt_test_support.h"

namespace corvane::qt {
namespace {

using testing::QtProgram;

TEST(WindowEvents, AltSStartsWhenIdleAndStopsWhenReading) {
  testing::FakeReaderLibrary library;
  library.portList = L"USB,COM1,SIM";
  QtProgram program(library);
  ASSERT_TRUE(program.Open() && testing::ShowActive(program.Window()));
  EXPECT_EQ(QApplication::focusWidget(), &program.Find<QPushButton>("btAttiva"));
  const auto calls = [&](const wchar_t* call) {
    return std::count(library.calls.begin(), library.calls.end(), call);
  };
  const auto enabled = [&] {
    return std::string{program.Find<QPushButton>("btAttiva").isEnabled() ? '1' : '0',
                       program.Find<QPushButton>("btDisattiva").isEnabled() ? '1' : '0'};
  };

  // The key clicks at once, as on Windows: no pressed button to wait for.
  QTest::keyClick(&program.Window(), Qt::Key_S, Qt::AltModifier);
  EXPECT_EQ(calls(L"TvxStartCallBack(USB)"), 1);
  EXPECT_EQ(calls(L"TvxStop(5)"), 0);
  EXPECT_EQ(enabled(), "01");

  QTest::keyClick(&program.Window(), Qt::Key_S, Qt::AltModifier);
  EXPECT_EQ(calls(L"TvxStop(5)"), 1);
  EXPECT_EQ(enabled(), "10");
  EXPECT_EQ(program.Find<QLabel>("Label5").text(), QStringLiteral("Disabilitato"));
  EXPECT_EQ(calls(L"TvxStartCallBack(USB)"), 1);
  EXPECT_TRUE(program.Messages().isEmpty());
}

}  // namespace
}  // namespace corvane::qt
