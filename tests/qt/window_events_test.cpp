// Clicks and keys reach the window logic, and failures below it end in the
// program's one fatal report instead of crossing Qt's event delivery.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <functional>
#include <string>
#include <thread>

#include "fake_reader_library.h"
#include "qt_program.h"
#include "qt_test_support.h"

namespace corvane::qt {
namespace {

using testing::QtProgram;

void Click(QtProgram& program, const char* button) {
  QTest::mouseClick(&program.Find<QPushButton>(button), Qt::LeftButton);
}

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

TEST(FatalError, IsReportedOnceNamingTheEntryPointAndLaterEventsAreIgnored) {
  const auto badge = [] { std::thread([] { ReaderCallBack(7, TVX_EVENT_CARD, 0, 0); }).join(); };
  const struct {
    const wchar_t* missing;
    std::function<void(QtProgram&)> trigger;
  } cases[] = {
      {L"TvxStartCallBack", [](QtProgram& p) { Click(p, "btAttiva"); }},
      {L"TvxStop",
       [](QtProgram& p) {
         Click(p, "btAttiva");
         Click(p, "btDisattiva");
       }},
      // A badge notification fetched on the UI thread, as the door delivers
      // it from a reader thread.
      {L"TvxGetLastCardData",
       [&](QtProgram& p) {
         Click(p, "btAttiva");
         badge();
       }},
      {L"TvxUninitialize", nullptr},  // when the window is closed
  };
  for (const auto& c : cases) {
    const QString missing = QString::fromWCharArray(c.missing);
    SCOPED_TRACE(missing.toStdString());
    testing::FakeReaderLibrary library;
    library.portList = L"USB";
    library.missing = c.missing;
    QtProgram program(library);
    ASSERT_TRUE(program.Open() && testing::ShowActive(program.Window()));
    if (c.trigger) {
      c.trigger(program);
      EXPECT_TRUE(testing::WaitUntil([&] { return !program.Messages().isEmpty(); }));
      // Whatever follows the report reaches no handler and adds no box.
      c.trigger(program);
      badge();
      QCoreApplication::processEvents();
    }
    EXPECT_EQ(program.Close(), kExitFatal);
    ASSERT_EQ(program.Messages().size(), 1);
    EXPECT_TRUE(program.Messages().front().contains(missing))
        << program.Messages().front().toStdString();
  }
}

}  // namespace
}  // namespace corvane::qt
