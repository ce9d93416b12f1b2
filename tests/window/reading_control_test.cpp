// Start and Stop: the two states of the controls and the start failures.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "test_window.h"

namespace corvane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

TEST(ReadingControl, StartKeepsWhatTheLibraryAnswersAndEntersTheMatchingState) {
  const std::wstring notStarted = L"Impossibile inizializzare il lettore";
  const struct {
    int32_t result;
    std::vector<std::wstring> messages;
    const char* state;
  } rows[] = {{5, {}, kReading},
              {1, {}, kReading},
              {0, {notStarted}, kIdle},
              {-1, {notStarted}, kIdle},
              {TVX_PORT_UNUSABLE, {L"Porta seriale non utilizzabile"}, kIdle},
              {-3, {notStarted}, kIdle}};
  for (const auto& row : rows) {
    TestWindow w;
    w.library.startResult = row.result;

    w.window.btAttiva_Click();

    EXPECT_EQ(w.window.CurrentReaderHandle(), row.result);
    EXPECT_THAT(w.form.msgBox.shown, ElementsAreArray(row.messages)) << row.result;
    EXPECT_EQ(w.Enabled(), row.state) << row.result;
    EXPECT_EQ(w.form.Label5.caption, L"Disabled");
  }
}

// Start passes the selected port, none as empty, the notify function and zero.
TEST(ReadingControl, StopStopsTheLastStartedHandleEvenAFailedOneAndReturnsToIdle) {
  TestWindow w;
  for (const auto& [result, selected] : {std::pair{-2, -1}, std::pair{12, 2}}) {
    w.library.startResult = result;
    w.form.cbCom.selected = selected;
    w.window.btAttiva_Click();
    w.form.journal.clear();
    w.window.btDisattiva_Click();
  }
  EXPECT_THAT(w.library.calls, ElementsAre(L"TvxStartCallBack()", L"TvxStop(-2)",
                                           L"TvxStartCallBack(SIM)", L"TvxStop(12)"));
  EXPECT_TRUE(w.library.lastStartNotify == &SomeNotify && w.library.lastStartUserData == 0);
  EXPECT_THAT(w.form.journal, ElementsAre(L"Label5.Caption=Disabilitato", L"btAttiva.Enabled=true",
                                          L"btDisattiva.Enabled=false", L"cbCom.Enabled=true"));
  EXPECT_EQ(w.Enabled(), kIdle);
  EXPECT_THAT(w.form.msgBox.shown, ElementsAre(L"Porta seriale non utilizzabile"));
}

TEST(ReadingControl, NotificationsSetTheStatusButNeverTheButtonsOrTheList) {
  TestWindow w;
  w.window.btAttiva_Click();
  for (const int32_t event : {5, 6, 7, 8, 9, 0, -1}) w.window.CallBackBadge(5, event, 0, 0);
  EXPECT_EQ(w.Enabled(), kReading);

  w.window.btDisattiva_Click();
  for (const int32_t event : {5, 6, 7, 9, 0, -1, 8}) w.window.CallBackBadge(5, event, 0, 0);
  EXPECT_EQ(w.Enabled(), kIdle);
  EXPECT_EQ(w.form.Label5.caption, L"Attivo");
}

}  // namespace
}  // namespace corvane::testing
