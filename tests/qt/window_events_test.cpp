// Clicks and keys reach the window logic, and failures below it end in the
// program's one fatal report instead of crossing Qt's event delivery.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <string>
#include <thread>

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

  // A key's click is animated: the button reports it a moment later.
  QTest::keyClick(&program.Window(), Qt::Key_S, Qt::AltModifier);
  ASSERT_TRUE(testing::WaitUntil([&] { return calls(L"TvxStartCallBack(USB)") == 1; }));
  EXPECT_EQ(calls(L"TvxStop(5)"), 0);
  EXPECT_EQ(enabled(), "01");

  QTest::keyClick(&program.Window(), Qt::Key_S, Qt::AltModifier);
  ASSERT_TRUE(testing::WaitUntil([&] { return calls(L"TvxStop(5)") == 1; }));
  EXPECT_EQ(enabled(), "10");
  EXPECT_EQ(program.Find<QLabel>("Label5").text(), QStringLiteral("Disabilitato"));
  EXPECT_EQ(calls(L"TvxStartCallBack(USB)"), 1);
  EXPECT_TRUE(program.Messages().isEmpty());
}

// Start, then a badge notification from a reader thread, fetched on the UI
// thread as the door delivers it: each fails where its entry point is missing.
TEST(FatalError, IsReportedOnceNamingTheEntryPointAndLaterEventsAreIgnored) {
  const auto startAndBadge = [](QtProgram& program) {
    QTest::mouseClick(&program.Find<QPushButton>("btAttiva"), Qt::LeftButton);
    std::thread([] { ReaderCallBack(7, TVX_EVENT_CARD, 0, 0); }).join();
  };
  for (const wchar_t* missing : {L"TvxStartCallBack", L"TvxGetLastCardData"}) {
    SCOPED_TRACE(QString::fromWCharArray(missing).toStdString());
    testing::FakeReaderLibrary library;
    library.portList = L"USB";
    library.missing = missing;
    QtProgram program(library);
    ASSERT_TRUE(program.Open() && testing::ShowActive(program.Window()));
    startAndBadge(program);
    EXPECT_TRUE(testing::WaitUntil([&] { return !program.Messages().isEmpty(); }));
    // Whatever follows the report reaches no handler and adds no box.
    startAndBadge(program);
    QCoreApplication::processEvents();
    EXPECT_EQ(program.Close(), kExitFatal);
    ASSERT_EQ(program.Messages().size(), 1);
    EXPECT_TRUE(program.Messages().front().contains(QString::fromWCharArray(missing)))
        << program.Messages().front().toStdString();
  }
}

}  // namespace
}  // namespace corvane::qt
