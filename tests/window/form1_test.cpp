// Form1 over fake controls and a scripted library: start-up and the port
// list, Start and Stop, and the notifications.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_controls.h"
#include "fake_reader_library.h"
#include "form1.h"

namespace corvane::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::Not;

int32_t TVX_CALL SomeNotify(int32_t, int32_t, int32_t, int32_t) { return 0; }

struct TestWindow {
  FakeForm form;
  FakeReaderLibrary library;
  Form1 window{form.controls.ForForm1(), form.msgBox, library, &SomeNotify};

  // Loaded with the given port list, its calls and changes forgotten.
  explicit TestWindow(std::wstring ports = L"USB,COM1,SIM") {
    library.portList = std::move(ports);
    window.Form_Load();
    Forget();
  }
  void Forget() {
    library.calls.clear();
    form.journal.clear();
    form.msgBox.shown.clear();
  }
  // Start, the port list, Stop: enabled or not.
  std::string Enabled() const {
    return std::string{form.btAttiva.enabled ? '1' : '0', form.cbCom.enabled ? '1' : '0',
                       form.btDisattiva.enabled ? '1' : '0'};
  }
};

constexpr const char* kIdle = "110";
constexpr const char* kReading = "001";

// Start-up: the port list, the USB port's selection and the start-up messages.

const std::wstring kListError = L"Errore leggendo elenco porte";
const std::wstring kUsbError = L"Errore leggendo nome porta usb";
const ScriptedOutText kUsb{0, "USB", std::nullopt};

TEST(PortList, SplitsAtEveryCommaAndSelectsTheFirstExactUsbName) {
  const struct {
    const wchar_t* list;
    ScriptedOutText usbName;
    std::vector<std::wstring> entries;
    int selected;
    std::vector<std::wstring> messages;
  } rows[] = {
      // clang-format off
      {L"COM1,COM2,USB", kUsb, {L"COM1", L"COM2", L"USB"}, 2, {}},
      {L"USB,COM1,", kUsb, {L"USB", L"COM1", L""}, 0, {}},
      {L"COM1,,USB", kUsb, {L"COM1", L"", L"USB"}, 2, {}},
      {L"", kUsb, {L""}, -1, {}},
      {L" USB,USB ,usb,USB1", kUsb, {L" USB", L"USB ", L"usb", L"USB1"}, -1, {}},
      {L"COM1,USB,USB", kUsb, {L"COM1", L"USB", L"USB"}, 1, {}},
      // A failing call that leaves its arguments alone leaves 9 spaces.
      {L"COM1,         ,USB", {-1, std::nullopt, std::nullopt}, {L"COM1", L"         ", L"USB"}, 1, {kUsbError}},
      {L"COM1,USB", {-7, "USB", 4}, {L"COM1", L"USB"}, 1, {kUsbError}},
      // The name is the length less its terminator, whatever the buffer holds.
      {L"USB1,USB", {0, "USB1", 4, true}, {L"USB1", L"USB"}, 1, {}},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(row.list)));
    TestWindow w;
    w.library.portList = row.list;
    w.library.usbName = row.usbName;
    w.window.Form_Load();
    EXPECT_THAT(w.form.cbCom.entries, ElementsAreArray(row.entries));
    EXPECT_EQ(w.form.cbCom.selected, row.selected);
    EXPECT_THAT(w.form.msgBox.shown, ElementsAreArray(row.messages));
  }
}

TEST(PortList, RefusedListsLeaveItEmptyReportOnceAndGoOnToInitialize) {
  const struct {
    int32_t sizingResult;
    std::optional<int32_t> sizingLength;
    ScriptedOutText fill;
  } rows[] = {
      {0, std::nullopt, {}},
      {-3, 0, {}},
      {-3, -20, {}},
      {-3, 65537, {}},  // more than any port list: refused unasked
      {-3, std::nullopt, {-1, std::nullopt, {}}},
      {-3, std::nullopt, {-3, "USB", {}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.sizingLength.value_or(0));
    TestWindow w;  // loaded once with a good list, which the refused one replaces
    w.library.sizingResult = row.sizingResult;
    w.library.sizingLength = row.sizingLength;
    w.library.fillPorts = row.fill;
    w.window.Form_Load();
    EXPECT_THAT(w.form.cbCom.entries, IsEmpty());
    EXPECT_EQ(w.form.cbCom.selected, -1);
    EXPECT_THAT(w.form.msgBox.shown, ElementsAre(kListError));
    EXPECT_EQ(w.library.calls.back(), L"TvxInitialize");
    EXPECT_THAT(w.library.calls, Not(Contains(L"TvxUSBCOMPort(10)")));
  }
}

TEST(PortList, AsksTheSizeWithAnEmptyTextThenFillsABufferOfThatSize) {
  TestWindow w;
  w.library.portList = L"USB,SIM";
  w.window.Form_Load();
  EXPECT_THAT(w.library.calls, ElementsAre(L"TvxPortsAvailable(0)", L"TvxPortsAvailable(8)",
                                           L"TvxUSBCOMPort(10)", L"TvxInitialize"));

  // The largest size taken at its word.
  w.library.sizingLength = 65536;
  w.Forget();
  w.window.Form_Load();
  EXPECT_EQ(w.library.calls[1], L"TvxPortsAvailable(65536)");
  EXPECT_THAT(w.form.cbCom.entries, ElementsAre(L"USB", L"SIM"));
  // Whatever the library hands over, its length bounds the list.
  w.library.fillPorts = {0, "USB,COM1", 4, true};
  w.window.Form_Load();
  EXPECT_THAT(w.form.cbCom.entries, ElementsAre(L"USB"));
}

// Start and Stop: the two states of the controls and the start failures.

TEST(ReadingControl, StartKeepsWhatTheLibraryAnswersAndEntersTheMatchingState) {
  const std::wstring notStarted = L"Impossibile inizializzare il lettore";
  const struct {
    int32_t result;
    std::vector<std::wstring> messages;
    const char* state;
  } rows[] = {{1, {}, kReading},
              {0, {notStarted}, kIdle},
              {-1, {notStarted}, kIdle},
              {TVX_PORT_UNUSABLE, {L"Porta seriale non utilizzabile"}, kIdle}};
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

// Notifications: the event table, the fetches and the card's two fields.

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
      {TVX_EVENT_CARD, error, card, L"Lettura OK", L"042", L"1234567890", {}, {fetchCard}},
      {TVX_EVENT_CARD, error, failed, L"previous", L"old", L"old serial", {L"Errore in GetLastCard"}, {fetchCard}},
      {TVX_EVENT_CARD, error, {0, "0421234567890", 5, true}, L"Lettura OK", L"042", L"1", {}, {fetchCard}},
      // The card's first three characters are the batch, the next ten the
      // serial; shorter cards are Characters' own edges.
      {TVX_EVENT_CARD, error, {0, "0421234567890XYZ"}, L"Lettura OK", L"042", L"1234567890", {}, {fetchCard}},
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
