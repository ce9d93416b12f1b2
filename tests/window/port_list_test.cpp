// Start-up: the port list, the USB port's selection and the start-up messages.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "test_window.h"

namespace corvane::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::Not;

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
      // No room for the terminator is the empty name; a length past the
      // 10-character buffer keeps the buffer and no more.
      {L"COM1,", {0, "USB", 0}, {L"COM1", L""}, 1, {}},
      {L"COM1,USB", {0, "USB", 1000}, {L"COM1", L"USB"}, -1, {}},
      {L"COM1,ABCDEFGHI", {0, "ABCDEFGHIJKL", std::nullopt}, {L"COM1", L"ABCDEFGHI"}, 1, {}},
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
      {-3, 0x7fffffff, {}},
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

  // The largest size taken at its word; a fill with no room for the
  // terminator gives one empty entry.
  w.library.sizingLength = 65536;
  w.library.fillPorts = {0, "USB,COM1", 0};
  w.Forget();
  w.window.Form_Load();
  EXPECT_EQ(w.library.calls[1], L"TvxPortsAvailable(65536)");
  EXPECT_THAT(w.form.cbCom.entries, ElementsAre(L""));
  EXPECT_THAT(w.form.msgBox.shown, IsEmpty());
  // Whatever the library hands over, its length bounds the list.
  w.library.fillPorts = {0, "USB,COM1", 4, true};
  w.window.Form_Load();
  EXPECT_THAT(w.form.cbCom.entries, ElementsAre(L"USB"));
}

}  // namespace
}  // namespace corvane::testing
