// Clicks and keys reach the window logic, and failures below it end in the
// fatal error handler instead of crossing Qt's event delivery.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "form1_window.h"
#include "library_loader.h"
#include "qt_test_support.h"
#include "fake_reader_library.h"

namespace corvane::qtui {
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

  QPushButton& Button(const char* name) { return *m_window.findChild<QPushButton*>(name); }
  QString Status() { return m_window.findChild<QLabel*>("Label5")->text(); }

  testing::MessageBoxRecorder m_messages;
  testing::FakeReaderLibrary m_library;
  Form1Window m_window{m_library, testing::FailTestOnFatal()};
};

TEST_F(WindowEventsTest, AltSStartsWhenIdleAndStopsWhenReading) {
  m_window.Load();
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
  EXPECT_TRUE(m_messages.Texts().isEmpty());
}

TEST_F(WindowEventsTest, LoadRunsFormLoadOnce) {
  m_window.Load();
  m_window.Load();
  EXPECT_EQ(std::count(m_library.calls.begin(), m_library.calls.end(), L"TvxInitialize"), 1);
}

// A library whose entry point `missing` cannot be found, as Module1 reports
// it; every other call succeeds and Start gives a reader.
class MissingEntryLibrary final : public ReaderLibrary {
 public:
  explicit MissingEntryLibrary(std::wstring missing) : m_missing(std::move(missing)) {}

  int32_t TvxInitialize() override { return Call(L"TvxInitialize"); }
  int32_t TvxUninitialize() override { return Call(L"TvxUninitialize"); }
  int32_t TvxPortsAvailable(std::wstring&, int32_t&) override { return Call(L"TvxPortsAvailable"); }
  int32_t TvxUSBCOMPort(std::wstring&, int32_t&) override { return Call(L"TvxUSBCOMPort"); }
  int32_t TvxGetLastError(int32_t, std::wstring&, int32_t&) override {
    return Call(L"TvxGetLastError");
  }
  int32_t TvxGetLastCardData(int32_t, std::wstring&, int32_t&) override {
    return Call(L"TvxGetLastCardData");
  }
  int32_t TvxGetVersion(std::wstring&, int32_t&) override { return Call(L"TvxGetVersion"); }
  int32_t TvxStartCallBack(const std::wstring&, TvxNotify, int32_t) override {
    return Call(L"TvxStartCallBack") + 7;
  }
  int32_t TvxStop(int32_t) override { return Call(L"TvxStop"); }
  int32_t TvxStart(const std::wstring&) override { return Call(L"TvxStart"); }

 private:
  int32_t Call(const std::wstring& name) {
    if (name == m_missing) {
      throw ReaderLibraryMissing("libTavrix.so has no entry point " +
                                 std::string(name.begin(), name.end()));
    }
    return 0;
  }
  std::wstring m_missing;
};

void Click(Form1Window& window, const char* button) {
  QTest::mouseClick(window.findChild<QPushButton*>(button), Qt::LeftButton);
}

TEST(FatalError, ReachesTheHandlerNamingTheEntryPointFromEventDelivery) {
  const struct {
    std::wstring missing;
    std::function<void(Form1Window&)> trigger;
  } cases[] = {
      {L"TvxStartCallBack", [](Form1Window& w) { Click(w, "btAttiva"); }},
      {L"TvxStop",
       [](Form1Window& w) {
         Click(w, "btAttiva");
         Click(w, "btDisattiva");
       }},
      // A badge notification fetched on the UI thread, as the door delivers
      // it from a reader thread.
      {L"TvxGetLastCardData",
       [](Form1Window& w) {
         Click(w, "btAttiva");
         std::thread([] { ReaderCallBack(7, 7, 0, 0); }).join();
       }},
      {L"TvxUninitialize", nullptr},  // when the window is destroyed
  };
  for (const auto& c : cases) {
    const std::string missing(c.missing.begin(), c.missing.end());
    SCOPED_TRACE(missing);
    testing::MessageBoxRecorder messages;
    MissingEntryLibrary library(c.missing);
    std::vector<std::string> reported;
    const FatalErrorHandler record = [&](const std::exception& error) {
      reported.emplace_back(error.what());
    };
    const testing::ScopedDispatcher dispatcher(record);
    auto window = std::make_unique<Form1Window>(library, record);
    window->Load();
    ASSERT_TRUE(testing::ShowActive(*window));
    if (c.trigger) {
      c.trigger(*window);
      EXPECT_TRUE(testing::WaitUntil([&] { return !reported.empty(); }));
    }
    window.reset();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_NE(reported.front().find(missing), std::string::npos) << reported.front();
  }
}

}  // namespace
}  // namespace corvane::qtui
