// Start-up: the port list, the USB port's selection and the start-up messages.
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

struct PortListCase {
  const char* name;
  std::wstring listText;
  ScriptedOutText usbName;
  std::vector<std::wstring> entries;
  int selected;
  std::vector<std::wstring> messages;
};

class PortListTest : public ::testing::TestWithParam<PortListCase> {};

TEST_P(PortListTest, SplitsAtEveryCommaAndSelectsTheUsbPort) {
  const PortListCase& row = GetParam();
  FakeForm form;
  FakeReaderLibrary library;
  library.portList = row.listText;
  library.usbName = row.usbName;
  Form1 window(form.controls, form.msgBox, library);

  window.Form_Load();

  EXPECT_THAT(form.cbCom.entries, ElementsAreArray(row.entries));
  EXPECT_EQ(form.cbCom.selected, row.selected);
  EXPECT_THAT(form.msgBox.shown, ElementsAreArray(row.messages));
}

const ScriptedOutText kUsb{0, L"USB", std::nullopt};
const std::wstring kUsbNameError = L"Errore leggendo nome porta usb";

INSTANTIATE_TEST_SUITE_P(
    Cases, PortListTest,
    ::testing::Values(
        PortListCase{
            "ThreeNamesUsbLast", L"COM1,COM2,USB", kUsb, {L"COM1", L"COM2", L"USB"}, 2, {}},
        PortListCase{"TrailingComma", L"USB,COM1,", kUsb, {L"USB", L"COM1", L""}, 0, {}},
        PortListCase{"TwoCommasInARow", L"COM1,,USB", kUsb, {L"COM1", L"", L"USB"}, 2, {}},
        PortListCase{"EmptyList", L"", kUsb, {L""}, -1, {}},
        PortListCase{"NoComma", L"USB", kUsb, {L"USB"}, 0, {}},
        PortListCase{"SpacesAreKept", L" USB,USB ,COM1", kUsb, {L" USB", L"USB ", L"COM1"}, -1, {}},
        PortListCase{"CaseDiffers", L"usb,COM1", kUsb, {L"usb", L"COM1"}, -1, {}},
        PortListCase{"LongerNameDoesNotMatch", L"USB1,COM1", kUsb, {L"USB1", L"COM1"}, -1, {}},
        PortListCase{
            "FirstOfTwoEqualEntries", L"COM1,USB,USB", kUsb, {L"COM1", L"USB", L"USB"}, 1, {}},
        // A failing call that leaves its arguments alone leaves 9 spaces to compare.
        PortListCase{"UsbNameCallFailsUntouched",
                     L"COM1,         ,USB",
                     ScriptedOutText{-1, std::nullopt, std::nullopt},
                     {L"COM1", L"         ", L"USB"},
                     1,
                     {kUsbNameError}},
        PortListCase{"UsbNameCallFailsAfterWriting",
                     L"COM1,USB",
                     ScriptedOutText{-7, L"USB", 4},
                     {L"COM1", L"USB"},
                     1,
                     {kUsbNameError}},
        // A name reported with no room for its terminator is the empty text.
        PortListCase{
            "UsbNameLengthZero", L"COM1,", ScriptedOutText{0, L"USB", 0}, {L"COM1", L""}, 1, {}},
        // A length beyond the 10-character buffer keeps the buffer, nothing more.
        PortListCase{"UsbNameLengthTooLarge",
                     L"COM1,USB",
                     ScriptedOutText{0, L"USB", 1000},
                     {L"COM1", L"USB"},
                     -1,
                     {}},
        PortListCase{"UsbNameOfNineCharacters",
                     L"COM1,ABCDEFGHI",
                     ScriptedOutText{0, L"ABCDEFGHIJKL", std::nullopt},
                     {L"COM1", L"ABCDEFGHI"},
                     1,
                     {}}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

struct PortListFailure {
  const char* name;
  int32_t sizingResult;
  std::optional<int32_t> sizingLength;
  ScriptedOutText fill;
};

class PortListFailureTest : public ::testing::TestWithParam<PortListFailure> {};

TEST_P(PortListFailureTest, ReportsOnceLeavesTheListEmptyAndGoesOnToInitialize) {
  const PortListFailure& row = GetParam();
  FakeForm form;
  FakeReaderLibrary library;
  library.portList = L"USB,COM1";
  library.sizingResult = row.sizingResult;
  library.sizingLength = row.sizingLength;
  library.fillPorts = row.fill;
  Form1 window(form.controls, form.msgBox, library);

  window.Form_Load();

  EXPECT_THAT(form.cbCom.entries, IsEmpty());
  EXPECT_EQ(form.cbCom.selected, -1);
  EXPECT_THAT(form.msgBox.shown, ElementsAre(L"Errore leggendo elenco porte"));
  EXPECT_EQ(library.calls.back(), L"TvxInitialize");
  for (const auto& call : library.calls) EXPECT_NE(call, L"TvxUSBCOMPort(10)");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PortListFailureTest,
    ::testing::Values(PortListFailure{"SizingAnswersZero", 0, std::nullopt, {}},
                      PortListFailure{"SizingGivesZeroLength", -3, 0, {}},
                      PortListFailure{"SizingGivesNegativeLength", -3, -20, {}},
                      PortListFailure{"SizingAsksForGigabytes", -3, 0x7fffffff, {}},
                      PortListFailure{"FillingFails", -3, std::nullopt, {-1, std::nullopt, {}}},
                      PortListFailure{"FillingStillTooSmall", -3, std::nullopt, {-3, L"USB", {}}}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(PortList, FillingWithNoRoomForTheTerminatorGivesOneEmptyEntry) {
  FakeForm form;
  FakeReaderLibrary library;
  library.portList = L"USB,COM1";
  library.fillPorts = {0, L"USB,COM1", 0};
  Form1 window(form.controls, form.msgBox, library);

  window.Form_Load();

  EXPECT_THAT(form.cbCom.entries, ElementsAre(L""));
  EXPECT_THAT(form.msgBox.shown, IsEmpty());
}

TEST(PortList, AsksTheSizeWithAnEmptyTextThenFillsABufferOfThatSize) {
  FakeForm form;
  FakeReaderLibrary library;
  library.portList = L"USB,SIM";
  Form1 window(form.controls, form.msgBox, library);

  window.Form_Load();

  EXPECT_THAT(library.calls, ElementsAre(L"TvxPortsAvailable(0)", L"TvxPortsAvailable(8)",
                                         L"TvxUSBCOMPort(10)", L"TvxInitialize"));
}

TEST(StartUp, PortListMessagesComeBeforeTheInitializeFailure) {
  FakeForm form;
  FakeReaderLibrary library;
  library.sizingResult = -1;
  library.initializeResult = -1;
  Form1 window(form.controls, form.msgBox, library);

  window.Form_Load();

  EXPECT_THAT(form.msgBox.shown,
              ElementsAre(L"Errore leggendo elenco porte", L"Errore in inizializzazione API"));
  EXPECT_TRUE(form.btAttiva.enabled);
}

TEST(StartUp, InitializeResultIsJudgedBySign) {
  for (const int32_t result : {-1, -100, 0, 1, 7}) {
    FakeForm form;
    FakeReaderLibrary library;
    library.portList = L"USB";
    library.initializeResult = result;
    Form1 window(form.controls, form.msgBox, library);

    window.Form_Load();

    EXPECT_EQ(form.msgBox.shown.size(), result < 0 ? 1u : 0u) << result;
  }
}

}  // namespace
}  // namespace corvane::testing
