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

bool Called(const testing::FakeReaderLibrary& library, const std::wstring& call) {
  return std::find(library.calls.begin(), library.calls.end(), call) != library.calls.end();
}

class WindowEventsTest : public ::testing::Test {
 protected:
  WindowEventsTest() {
    m_library.portList = L"USB,COM1,SIM";
    m_library.startResult = 5;
  }

  QPushButton& Button(const char* name) { return m_program.Find<QPushButton>(name); }
  QString Status() { return m_program.Find<QLabel>("Label5").text(); }

  testing::FakeReaderLibrary m_library;
  testing::QtProgram m_program{m_library};
  QWidget& m_window = m_program.Window();
};

TEST_F(WindowEventsTest, AltSStartsWhenIdleAndStopsWhenReading) {
  ASSERT_TRUE(m_program.Open());
  ASSERT_TRUE(testing::ShowActive(m_window));
  EXPECT_EQ(QApplication::focusWidget(), &Button("btAttiva"));

  // A key's click is animated: the button reports it a moment later.
  QTest::keyClick(&m_window, Qt::Key_S, Qt::AltModifier);
  ASSERT_TRUE(testing::WaitUntil([&] { return Called(m_library, L"TvxStartCallBack(USB)"); }));
  EXPECT_FALSE(Called(m_library, L"TvxStop(5)"));
  EXPECT_FALSE(Button("btAttiva").isEnabled());
  EXPECT_TRUE(Button("btDisattiva").isEnabled());

  QTest::keyClick(&m_window, Qt::Key_S, Qt::AltModifier);
  ASSERT_TRUE(testing::WaitUntil([&] { return Called(m_library, L"TvxStop(5)"); }));
  EXPECT_TRUE(Button("btAttiva").isEnabled());
  EXPECT_FALSE(Button("btDisattiva").isEnabled());
  EXPECT_EQ(Status(), QStringLiteral("Disabilitato"));
  EXPECT_EQ(std::count(m_library.calls.begin(), m_library.calls.end(), L"TvxStartCallBack(USB)"),
            1);
  EXPECT_TRUE(m_program.Messages().isEmpty());
}

void Click(testing::QtProgram& program, const char* button) {
  QTest::mouseClick(&program.Find<QPushButton>(button), Qt::LeftButton);
}

TEST(FatalError, IsReportedOnceNamingTheEntryPointAndLaterEventsAreIgnored) {
  const struct {
    const wchar_t* missing;
    std::function<void(testing::QtProgram&)> trigger;
  } cases[] = {
      {L"TvxStartCallBack", [](testing::QtProgram& p) { Click(p, "btAttiva"); }},
      {L"TvxStop",
       [](testing::QtProgram& p) {
         Click(p, "btAttiva");
         Click(p, "btDisattiva");
       }},
      // A badge notification fetched on the UI thread, as the door delivers
      // it from a reader thread.
      {L"TvxGetLastCardData",
       [](testing::QtProgram& p) {
         Click(p, "btAttiva");
         std::thread([] { ReaderCallBack(7, TVX_EVENT_CARD, 0, 0); }).join();
       }},
      {L"TvxUninitialize", nullptr},  // when the window is closed
  };
  for (const auto& c : cases) {
    const QString missing = QString::fromWCharArray(c.missing);
    SCOPED_TRACE(missing.toStdString());
    testing::FakeReaderLibrary library;
    library.portList = L"USB";
    library.missing = c.missing;
    testing::QtProgram program(library);
    ASSERT_TRUE(program.Open());
    ASSERT_TRUE(testing::ShowActive(program.Window()));
    if (c.trigger) {
      c.trigger(program);
      EXPECT_TRUE(testing::WaitUntil([&] { return !program.Messages().isEmpty(); }));
      // Whatever follows the report reaches no handler and adds no box.
      c.trigger(program);
      std::thread([] { ReaderCallBack(7, TVX_EVENT_CARD, 0, 0); }).join();
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
