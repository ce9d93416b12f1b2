// Notifications: the event table, the fetches and the card's two fields.
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

constexpr int32_t kNotifyingReader = 41;

// A window that has read one badge before, so a test can see what is kept.
struct ReadingWindow {
  FakeForm form;
  FakeReaderLibrary library;
  Form1 window{form.controls, form.msgBox, library};

  ReadingWindow() {
    form.Text1.text = L"old";
    form.Text2.text = L"old serial";
    form.Label5.caption = L"previous";
    library.calls.clear();
  }
};

struct EventCase {
  const char* name;
  int32_t event;
  ScriptedOutText lastError;
  ScriptedOutText lastCard;
  std::wstring status;
  std::wstring batch;
  std::wstring serial;
  std::vector<std::wstring> messages;
  std::vector<std::wstring> calls;
};

class EventTableTest : public ::testing::TestWithParam<EventCase> {};

TEST_P(EventTableTest, DispatchesOnTheEventCode) {
  const EventCase& row = GetParam();
  ReadingWindow reading;
  reading.library.lastError = row.lastError;
  reading.library.lastCard = row.lastCard;

  reading.window.CallBackBadge(kNotifyingReader, row.event, 123, 456);

  EXPECT_EQ(reading.form.Label5.caption, row.status);
  EXPECT_EQ(reading.form.Text1.text, row.batch);
  EXPECT_EQ(reading.form.Text2.text, row.serial);
  EXPECT_THAT(reading.form.msgBox.shown, ElementsAreArray(row.messages));
  EXPECT_THAT(reading.library.calls, ElementsAreArray(row.calls));
}

const ScriptedOutText kCard{0, L"0421234567890", std::nullopt};
const ScriptedOutText kError{0, L"Connessione persa su /dev/ttyUSB0", std::nullopt};
const ScriptedOutText kFailed{-1, std::nullopt, std::nullopt};
const std::wstring kFetchError = L"TvxGetLastError(41,255)";
const std::wstring kFetchCard = L"TvxGetLastCardData(41,255)";

INSTANTIATE_TEST_SUITE_P(
    Cases, EventTableTest,
    ::testing::Values(
        EventCase{"BadRead",
                  5,
                  kError,
                  kCard,
                  L"Errore in lettura tessera",
                  L"old",
                  L"old serial",
                  {},
                  {}},
        EventCase{"ErrorShowsTheLibraryText",
                  6,
                  kError,
                  kCard,
                  L"previous",
                  L"old",
                  L"old serial",
                  {L"Connessione persa su /dev/ttyUSB0"},
                  {kFetchError}},
        EventCase{"ErrorFetchFails",
                  6,
                  kFailed,
                  kCard,
                  L"previous",
                  L"old",
                  L"old serial",
                  {L"Errore in GetLastError"},
                  {kFetchError}},
        EventCase{"ErrorFetchSucceedsWithNoRoom",
                  6,
                  {0, L"lost", 0},
                  kCard,
                  L"previous",
                  L"old",
                  L"old serial",
                  {L""},
                  {kFetchError}},
        EventCase{"Card", 7, kError, kCard, L"Lettura OK", L"042", L"1234567890", {}, {kFetchCard}},
        EventCase{"CardFetchFailsKeepsEverything",
                  7,
                  kError,
                  kFailed,
                  L"previous",
                  L"old",
                  L"old serial",
                  {L"Errore in GetLastCard"},
                  {kFetchCard}},
        EventCase{"CardFetchWithZeroLengthIsAnEmptyCard",
                  7,
                  kError,
                  {0, L"0421234567890", 0},
                  L"Lettura OK",
                  L"",
                  L"",
                  {},
                  {kFetchCard}},
        EventCase{"CardFetchWithHugeLengthKeepsTheBuffer",
                  7,
                  kError,
                  {0, L"0421234567890", 100000},
                  L"Lettura OK",
                  L"042",
                  L"1234567890",
                  {},
                  {kFetchCard}},
        EventCase{"Active", 8, kError, kCard, L"Attivo", L"old", L"old serial", {}, {}},
        EventCase{
            "CardGoneChangesNothing", 9, kError, kCard, L"previous", L"old", L"old serial", {}, {}},
        EventCase{"Zero", 0, kError, kCard, L"Codice sconosciuto", L"old", L"old serial", {}, {}},
        EventCase{
            "Negative", -7, kError, kCard, L"Codice sconosciuto", L"old", L"old serial", {}, {}}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(Notifications, CardGoneTouchesNoControlAtAll) {
  ReadingWindow reading;
  reading.form.journal.clear();

  reading.window.CallBackBadge(kNotifyingReader, 9, 0, 0);

  EXPECT_THAT(reading.form.journal, IsEmpty());
}

TEST(Notifications, CardIsShownBeforeTheStatusSaysSo) {
  ReadingWindow reading;
  reading.form.journal.clear();

  reading.window.CallBackBadge(kNotifyingReader, 7, 0, 0);

  EXPECT_THAT(reading.form.journal, ElementsAre(L"Text1.Text=010", L"Text2.Text=1234567890",
                                                L"Label5.Caption=Lettura OK"));
}

TEST(Notifications, FetchesWithTheNotifyingHandleNotTheStartedOne) {
  ReadingWindow reading;
  reading.library.startResult = 3;
  reading.window.btAttiva_Click();
  reading.library.calls.clear();

  reading.window.CallBackBadge(77, 7, 0, 0);
  reading.window.CallBackBadge(78, 6, 0, 0);

  EXPECT_THAT(reading.library.calls,
              ElementsAre(L"TvxGetLastCardData(77,255)", L"TvxGetLastError(78,255)"));
}

struct CardCase {
  std::wstring card;
  std::wstring batch;
  std::wstring serial;
};

class DecodeCardTest : public ::testing::TestWithParam<CardCase> {};

TEST_P(DecodeCardTest, SplitsIntoBatchAndSerial) {
  ReadingWindow reading;

  reading.window.DecodeCard(GetParam().card);

  EXPECT_EQ(reading.form.Text1.text, GetParam().batch);
  EXPECT_EQ(reading.form.Text2.text, GetParam().serial);
}

INSTANTIATE_TEST_SUITE_P(Lengths, DecodeCardTest,
                         ::testing::Values(CardCase{L"0421234567890", L"042", L"1234567890"},
                                           CardCase{L"0421234567890XYZ", L"042", L"1234567890"},
                                           CardCase{L"12345", L"123", L"45"},
                                           CardCase{L"123", L"123", L""}, CardCase{L"1", L"1", L""},
                                           CardCase{L"", L"", L""}));

}  // namespace
}  // namespace corvane::testing
