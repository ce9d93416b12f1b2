// Form1 over fake controls and a scripted library.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>

#include "fake_controls.h"
#include "fake_reader_library.h"
#include "form1.h"

namespace corvane::testing {
namespace {

int32_t TVX_CALL SomeNotify(int32_t, int32_t, int32_t, int32_t) { return 0; }

// Loaded with a port list, its calls and changes forgotten.
struct TestWindow {
  FakeForm form;
  FakeReaderLibrary library;
  Form1 window{form.controls.ForForm1(), form.msgBox, library, &SomeNotify};

  TestWindow() {
    library.portList = L"USB,COM1,SIM";
    window.Form_Load();
    library.calls.clear();
    form.journal.clear();
    form.msgBox.shown.clear();
  }
};

// Named, not braced in the rows, where GCC takes their empty parts for unset.
const ScriptedOutText kUsb{0, "USB"};
const ScriptedOutText kFailed{-1, std::nullopt};
const ScriptedOutText kUsbFailedButWritten{-7, "USB"};
const ScriptedOutText kFillFailedButWritten{-3, "USB"};

// An exact USB match is selected even when the call naming it failed, which is
// reported; a refused list stays empty and is reported instead.
TEST(PortList, SplitsAtEveryCommaAndSelectsTheFirstExactUsbName) {
  const struct {
    const wchar_t* list;
    std::vector<std::wstring> entries;
    int selected;
    ScriptedOutText usbName = kUsb;
    int32_t sizingResult = TVX_BUFFER_TOO_SMALL;
    std::optional<int32_t> sizingLength = std::nullopt;
    ScriptedOutText fill = {};
  } rows[] = {
      // clang-format off
      {L"COM1,,USB,USB,", {L"COM1", L"", L"USB", L"USB", L""}, 2},
      {L"", {L""}, -1},
      {L" USB,USB ,usb,USB1", {L" USB", L"USB ", L"usb", L"USB1"}, -1},
      {L"COM1,USB", {L"COM1", L"USB"}, 1, kUsbFailedButWritten},
      {L"USB,SIM", {L"USB", L"SIM"}, 0, kUsb, -3, 65536},  // the largest size taken at its word
      {L"COM1", {}, -1, kUsb, 0},
      {L"COM1", {}, -1, kUsb, -3, 0},
      {L"COM1", {}, -1, kUsb, -3, 65537},  // more than any port list: refused unasked
      {L"COM1", {}, -1, kUsb, -3, std::nullopt, kFillFailedButWritten},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(row.list)));
    TestWindow w;  // loaded once already, with a list this one replaces
    w.library.portList = row.list;
    w.library.usbName = row.usbName;
    w.library.sizingResult = row.sizingResult;
    w.library.sizingLength = row.sizingLength;
    w.library.fillPorts = row.fill;
    w.window.Form_Load();
    EXPECT_EQ(w.form.cbCom.entries, row.entries);
    EXPECT_EQ(w.form.cbCom.selected, row.selected);
    const bool refused = row.entries.empty(), usbFailed = row.usbName.result != 0;
    EXPECT_EQ(w.form.msgBox.shown.size(), refused || usbFailed ? 1u : 0u);
    const int32_t size = row.sizingLength.value_or(static_cast<int32_t>(wcslen(row.list)) + 1);
    EXPECT_EQ(w.library.calls[0], L"TvxPortsAvailable(0)");
    if (!refused) {
      EXPECT_EQ(w.library.calls[1], L"TvxPortsAvailable(" + std::to_wstring(size) + L")");
    }
    EXPECT_EQ(std::ranges::count(w.library.calls, L"TvxUSBCOMPort(10)"), refused ? 0 : 1);
    EXPECT_EQ(w.library.calls.back(), L"TvxInitialize");
  }
}

// Stop stops even a failed handle; what it shows is judged in the storm tests.
TEST(ReadingControl, StartKeepsWhatTheLibraryAnswersAndStopStopsIt) {
  const Journal notStarted{L"MsgBox Impossibile inizializzare il lettore"};
  const struct {
    int32_t result;
    Journal changes;
  } rows[] = {{1, {L"btAttiva.Enabled=false", L"btDisattiva.Enabled=true", L"cbCom.Enabled=false"}},
              {0, notStarted},
              {-1, notStarted},
              {TVX_PORT_UNUSABLE, {L"MsgBox Porta seriale non utilizzabile"}}};
  for (const auto& row : rows) {
    TestWindow w;
    w.library.startResult = row.result;
    w.form.cbCom.selected = 2;
    w.window.btAttiva_Click();
    EXPECT_EQ(w.form.journal, row.changes) << row.result;
    EXPECT_TRUE(w.library.lastStartNotify == &SomeNotify && w.library.lastStartUserData == 0);
    w.window.btDisattiva_Click();
    EXPECT_EQ(w.library.calls, (Journal{L"TvxStartCallBack(SIM)",
                                        L"TvxStop(" + std::to_wstring(row.result) + L")"}));
  }
}

// Each notification's changes, in order; the buttons and the list never move.
TEST(Notifications, DispatchOnTheEventCodeAndFetchWithTheNotifyingHandle) {
  const ScriptedOutText error{0, "Connessione persa su /dev/ttyUSB0"};
  const ScriptedOutText card{0, "0421234567890XYZ"}, shortest{0, "X"};
  const std::wstring fetchError = L"TvxGetLastError(41,255)";
  const std::wstring fetchCard = L"TvxGetLastCardData(41,255)";
  const Journal badge{L"Text1.Text=042", L"Text2.Text=1234567890", L"Label5.Caption=Lettura OK"};
  const Journal unknown{L"Label5.Caption=Codice sconosciuto"};
  const struct {
    int32_t event;
    ScriptedOutText fetched;  // what the library answers to either fetch
    Journal changes;
    std::vector<std::wstring> calls;
  } rows[] = {
      // clang-format off
      {TVX_EVENT_BAD_READ, card, {L"Label5.Caption=Errore in lettura tessera"}, {}},
      {TVX_EVENT_ERROR, error, {L"MsgBox Connessione persa su /dev/ttyUSB0"}, {fetchError}},
      {TVX_EVENT_ERROR, shortest, {L"MsgBox X"}, {fetchError}},  // whole
      {TVX_EVENT_ERROR, kFailed, {L"MsgBox Errore in GetLastError"}, {fetchError}},
      {TVX_EVENT_CARD, card, badge, {fetchCard}},
      {TVX_EVENT_CARD, kFailed, {L"MsgBox Errore in GetLastCard"}, {fetchCard}},
      {TVX_EVENT_READING, card, {L"Label5.Caption=Attivo"}, {}},
      {TVX_EVENT_CARD_GONE, card, {}, {}},
      {0, card, unknown, {}},
      {4, card, unknown, {}},
      {10, card, unknown, {}},
      {-7, card, unknown, {}},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.event);
    TestWindow w;
    w.library.lastError = w.library.lastCard = row.fetched;
    w.window.CallBackBadge(41, row.event, 123, 456);
    EXPECT_EQ(w.form.journal, row.changes);
    EXPECT_EQ(w.library.calls, row.calls);
  }
}

}  // namespace
}  // namespace corvane::testing
