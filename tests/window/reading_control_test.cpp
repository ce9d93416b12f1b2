// Start and Stop: the two states of the controls and the start failures.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_controls.h"
#include "fake_reader_library.h"
#include "form1.h"

namespace corvane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

int32_t TVX_CALL SomeNotify(int32_t, int32_t, int32_t, int32_t) { return 0; }

struct Window {
  FakeForm form;
  FakeReaderLibrary library;
  Form1 window{form.controls, form.msgBox, library, &SomeNotify};

  Window() {
    library.portList = L"USB,COM1,SIM";
    window.Form_Load();
    library.calls.clear();
    form.journal.clear();
  }
  bool IsIdle() const {
    return form.btAttiva.enabled && !form.btDisattiva.enabled && form.cbCom.enabled;
  }
  bool IsReading() const {
    return !form.btAttiva.enabled && form.btDisattiva.enabled && !form.cbCom.enabled;
  }
};

TEST(ReadingControl, StartPassesTheSelectedPortTheNotifyFunctionAndZero) {
  Window w;
  w.form.cbCom.selected = 2;

  w.window.btAttiva_Click();

  EXPECT_EQ(w.library.lastStartPort, L"SIM");
  EXPECT_EQ(w.library.lastStartNotify, &SomeNotify);
  EXPECT_EQ(w.library.lastStartUserData, 0);
}

TEST(ReadingControl, StartWithNothingSelectedPassesTheEmptyText) {
  Window w;
  w.form.cbCom.selected = -1;

  w.window.btAttiva_Click();

  EXPECT_THAT(w.library.calls, ElementsAre(L"TvxStartCallBack()"));
}

struct StartCase {
  int32_t result;
  std::vector<std::wstring> messages;
  bool reading;
};

class StartResultTest : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartResultTest, StoresTheHandleAndEntersTheMatchingState) {
  Window w;
  w.library.startResult = GetParam().result;

  w.window.btAttiva_Click();

  EXPECT_EQ(w.window.CurrentReaderHandle(), GetParam().result);
  EXPECT_THAT(w.form.msgBox.shown, ElementsAreArray(GetParam().messages));
  EXPECT_EQ(w.IsReading(), GetParam().reading);
  EXPECT_EQ(w.IsIdle(), !GetParam().reading);
  EXPECT_EQ(w.form.Label5.caption, L"Disabled");
}

INSTANTIATE_TEST_SUITE_P(
    Results, StartResultTest,
    ::testing::Values(StartCase{5, {}, true}, StartCase{1, {}, true},
                      StartCase{0, {L"Impossibile inizializzare il lettore"}, false},
                      StartCase{-1, {L"Impossibile inizializzare il lettore"}, false},
                      StartCase{-2, {L"Porta seriale non utilizzabile"}, false},
                      StartCase{-3, {L"Impossibile inizializzare il lettore"}, false}));

TEST(ReadingControl, StopStopsTheStartedReaderAndReturnsToIdle) {
  Window w;
  w.library.startResult = 12;
  w.window.btAttiva_Click();
  w.form.journal.clear();

  w.window.btDisattiva_Click();

  EXPECT_THAT(w.library.calls, ElementsAre(L"TvxStartCallBack(USB)", L"TvxStop(12)"));
  EXPECT_THAT(w.form.journal, ElementsAre(L"Label5.Caption=Disabilitato", L"btAttiva.Enabled=true",
                                          L"btDisattiva.Enabled=false", L"cbCom.Enabled=true"));
  EXPECT_TRUE(w.IsIdle());
  EXPECT_THAT(w.form.msgBox.shown, IsEmpty());
}

TEST(ReadingControl, FailedStartKeepsItsCodeForTheNextStop) {
  Window w;
  w.library.startResult = -2;
  w.window.btAttiva_Click();
  w.window.btDisattiva_Click();
  w.library.startResult = 9;
  w.window.btAttiva_Click();
  w.window.btDisattiva_Click();

  EXPECT_THAT(w.library.calls, ElementsAre(L"TvxStartCallBack(USB)", L"TvxStop(-2)",
                                           L"TvxStartCallBack(USB)", L"TvxStop(9)"));
}

TEST(ReadingControl, NotificationsNeverChangeTheButtonsOrTheList) {
  Window w;
  w.window.btAttiva_Click();
  for (const int32_t event : {5, 6, 7, 8, 9, 0, -1}) w.window.CallBackBadge(5, event, 0, 0);
  EXPECT_TRUE(w.IsReading());

  w.window.btDisattiva_Click();
  for (const int32_t event : {5, 6, 7, 8, 9, 0, -1}) w.window.CallBackBadge(5, event, 0, 0);
  EXPECT_TRUE(w.IsIdle());
}

TEST(ReadingControl, NotificationAfterStopStillSetsTheStatus) {
  Window w;
  w.window.btAttiva_Click();
  w.window.btDisattiva_Click();

  w.window.CallBackBadge(5, 8, 0, 0);

  EXPECT_EQ(w.form.Label5.caption, L"Attivo");
}

}  // namespace
}  // namespace corvane::testing
