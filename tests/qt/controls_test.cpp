// The wrappers behave as the window logic expects its controls to.
#include <gtest/gtest.h>

#include <QComboBox>
#include <functional>
#include <string>
#include <vector>

#include "main_window/qt/qt_controls.h"

namespace corvane::qtui {
namespace {

struct ComboBoxCase {
  const char* name;
  std::function<void(ComboBox&)> operations;
  std::wstring text;
  int count;
  friend void PrintTo(const ComboBoxCase& c, std::ostream* os) { *os << c.name; }
};

class ComboBoxTest : public ::testing::TestWithParam<ComboBoxCase> {};

TEST_P(ComboBoxTest, SelectionFollowsOnlyThePrograms) {
  QComboBox widget;
  QtComboBox comboBox(widget);
  GetParam().operations(comboBox);
  EXPECT_EQ(comboBox.Text(), GetParam().text);
  EXPECT_EQ(comboBox.ListCount(), GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, ComboBoxTest,
    ::testing::Values(ComboBoxCase{"FirstEntryAddedIsNotSelected",
                                   [](ComboBox& c) { c.AddItem(L"COM1"); }, L"", 1},
                      ComboBoxCase{"EntriesAddedAfterClearAreNotSelected",
                                   [](ComboBox& c) {
                                     c.AddItem(L"COM1");
                                     c.SetListIndex(0);
                                     c.Clear();
                                     c.AddItem(L"COM2");
                                     c.AddItem(L"SIM");
                                   },
                                   L"", 2},
                      ComboBoxCase{"SelectedEntryIsTheText",
                                   [](ComboBox& c) {
                                     c.AddItem(L"USB");
                                     c.AddItem(L"SIM");
                                     c.SetListIndex(1);
                                   },
                                   L"SIM", 2},
                      ComboBoxCase{"AddingKeepsTheSelection",
                                   [](ComboBox& c) {
                                     c.AddItem(L"USB");
                                     c.SetListIndex(0);
                                     c.AddItem(L"SIM");
                                   },
                                   L"USB", 2},
                      ComboBoxCase{"EmptyEntriesCount",
                                   [](ComboBox& c) {
                                     c.AddItem(L"");
                                     c.AddItem(L"");
                                     c.AddItem(L"SIM");
                                   },
                                   L"", 3},
                      ComboBoxCase{"SelectingAnEmptyEntryGivesTheEmptyText",
                                   [](ComboBox& c) {
                                     c.AddItem(L"");
                                     c.AddItem(L"SIM");
                                     c.SetListIndex(0);
                                   },
                                   L"", 2},
                      ComboBoxCase{"NonAsciiEntriesRoundTrip",
                                   [](ComboBox& c) {
                                     c.AddItem(L"/dev/ttyS\u00e8");
                                     c.SetListIndex(0);
                                   },
                                   L"/dev/ttyS\u00e8", 1}),
    [](const ::testing::TestParamInfo<ComboBoxCase>& testCase) { return testCase.param.name; });

TEST(ComboBox, ListReadsEntriesAndNothingOutsideThem) {
  QComboBox widget;
  QtComboBox comboBox(widget);
  comboBox.AddItem(L"USB");
  comboBox.AddItem(L"");
  comboBox.AddItem(L"SIM");
  const std::vector<std::wstring> expected = {L"", L"USB", L"", L"SIM", L""};
  std::vector<std::wstring> read;
  for (int index = -1; index <= 3; ++index) {
    read.push_back(comboBox.List(index));
  }
  EXPECT_EQ(read, expected);
}

}  // namespace
}  // namespace corvane::qtui
