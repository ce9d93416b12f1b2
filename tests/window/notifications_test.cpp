// Notifications: the event table, the fetches and the card's two fields.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "test_window.h"

namespace corvane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// The maker's library sends these codes; the contract names them once.
static_assert(TVX_EVENT_BAD_READ == 5 && TVX_EVENT_ERROR == 6 && TVX_EVENT_CARD == 7 &&
              TVX_EVENT_READING == 8 && TVX_EVENT_CARD_GONE == 9);
static_assert(TVX_PORT_UNUSABLE == -2 && TVX_BUFFER_TOO_SMALL == -3);

// A window reading with handle 3 that has shown a badge before, so a test can
// see what is kept and that fetches use the notifying handle.
struct ReadingWindow : TestWindow {
  ReadingWindow() {
    library.startResult = 3;
    window.btAttiva_Click();
    Forget();
    form.Text1.text = L"old";
    form.Text2.text = L"old serial";
    form.Label5.caption = L"previous";
  }
};

TEST(Notifications, DispatchOnTheEventCodeAndFetchWithTheNotifyingHandle) {
  const ScriptedOutText card{0, "0421234567890", std::nullopt};
  const ScriptedOutText error{0, "Connessione persa su /dev/ttyUSB0", std::nullopt};
  const ScriptedOutText failed{-1, std::nullopt, std::nullopt};
  const std::wstring fetchError = L"TvxGetLastError(41,255)";
  const std::wstring fetchCard = L"TvxGetLastCardData(41,255)";
  const struct {
    int32_t event;
    ScriptedOutText lastError;
    ScriptedOutText lastCard;
    const wchar_t* status;
    const wchar_t* batch;
    const wchar_t* serial;
    std::vector<std::wstring> messages;
    std::vector<std::wstring> calls;
  } rows[] = {
      // clang-format off
      {TVX_EVENT_BAD_READ, error, card, L"Errore in lettura tessera", L"old", L"old serial", {}, {}},
      {TVX_EVENT_ERROR, error, card, L"previous", L"old", L"old serial", {L"Connessione persa su /dev/ttyUSB0"}, {fetchError}},
      {TVX_EVENT_ERROR, failed, card, L"previous", L"old", L"old serial", {L"Errore in GetLastError"}, {fetchError}},
      // The message is the length less its terminator, whatever the buffer holds.
      {TVX_EVENT_ERROR, {0, "Porta persa", 6, true}, card, L"previous", L"old", L"old serial", {L"Porta"}, {fetchError}},
      {TVX_EVENT_ERROR, {0, "lost", 0}, card, L"previous", L"old", L"old serial", {L""}, {fetchError}},
      {TVX_EVENT_CARD, error, card, L"Lettura OK", L"042", L"1234567890", {}, {fetchCard}},
      {TVX_EVENT_CARD, error, failed, L"previous", L"old", L"old serial", {L"Errore in GetLastCard"}, {fetchCard}},
      {TVX_EVENT_CARD, error, {0, "0421234567890", 0}, L"Lettura OK", L"", L"", {}, {fetchCard}},
      {TVX_EVENT_CARD, error, {0, "0421234567890", 1}, L"Lettura OK", L"", L"", {}, {fetchCard}},
      {TVX_EVENT_CARD, error, {0, "0421234567890", 100000}, L"Lettura OK", L"042", L"1234567890", {}, {fetchCard}},
      {TVX_EVENT_CARD, error, {0, "0421234567890", 5, true}, L"Lettura OK", L"042", L"1", {}, {fetchCard}},
      // The card's first three characters are the batch, the next ten the serial.
      {TVX_EVENT_CARD, error, {0, "0421234567890XYZ"}, L"Lettura OK", L"042", L"1234567890", {}, {fetchCard}},
      {TVX_EVENT_CARD, error, {0, "12345"}, L"Lettura OK", L"123", L"45", {}, {fetchCard}},
      {TVX_EVENT_CARD, error, {0, "123"}, L"Lettura OK", L"123", L"", {}, {fetchCard}},
      {TVX_EVENT_CARD, error, {0, "1"}, L"Lettura OK", L"1", L"", {}, {fetchCard}},
      {TVX_EVENT_READING, error, card, L"Attivo", L"old", L"old serial", {}, {}},
      {TVX_EVENT_CARD_GONE, error, card, L"previous", L"old", L"old serial", {}, {}},
      {0, error, card, L"Codice sconosciuto", L"old", L"old serial", {}, {}},
      {-7, error, card, L"Codice sconosciuto", L"old", L"old serial", {}, {}},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.event);
    ReadingWindow w;
    w.library.lastError = row.lastError;
    w.library.lastCard = row.lastCard;

    w.window.CallBackBadge(41, row.event, 123, 456);

    EXPECT_EQ(w.form.Label5.caption, row.status);
    EXPECT_EQ(w.form.Text1.text, row.batch);
    EXPECT_EQ(w.form.Text2.text, row.serial);
    EXPECT_THAT(w.form.msgBox.shown, ElementsAreArray(row.messages));
    EXPECT_THAT(w.library.calls, ElementsAreArray(row.calls));
  }
}

TEST(Notifications, CardIsShownBeforeTheStatusSaysSoAndALeavingOneTouchesNothing) {
  ReadingWindow w;
  w.window.CallBackBadge(5, TVX_EVENT_CARD_GONE, 0, 0);
  EXPECT_THAT(w.form.journal, IsEmpty());

  w.window.CallBackBadge(5, TVX_EVENT_CARD, 0, 0);
  EXPECT_THAT(w.form.journal, ElementsAre(L"Text1.Text=010", L"Text2.Text=1234567890",
                                          L"Label5.Caption=Lettura OK"));
}

}  // namespace
}  // namespace corvane::testing
