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
  std::vector<std::wstring> entries;
  friend void PrintTo(const ComboBoxCase& c, std::ostream* os) { *os << c.name; }
};

class ComboBoxTest : public ::testing::TestWithParam<ComboBoxCase> {};

TEST_P(ComboBoxTest, SelectionFollowsOnlyTheProgramsAndEntriesStayAsAdded) {
  QComboBox widget;
  QtComboBox comboBox(widget);
  GetParam().operations(comboBox);
  EXPECT_EQ(comboBox.Text(), GetParam().text);
  std::vector<std::wstring> entries;
  for (int index = 0; index < comboBox.ListCount(); ++index)
    entries.push_back(comboBox.List(index));
  EXPECT_EQ(entries, GetParam().entries);
  EXPECT_EQ(comboBox.List(-1), L"");
  EXPECT_EQ(comboBox.List(comboBox.ListCount()), L"");
}

INSTANTIATE_TEST_SUITE_P(Operations, ComboBoxTest,
                         ::testing::Values(
                             // A Qt combo box selects the first entry added to an empty list.
                             ComboBoxCase{"EntriesAddedAfterClearAreNotSelected",
                                          [](ComboBox& c) {
                                            c.AddItem(L"COM1");
                                            c.SetListIndex(0);
                                            c.Clear();
                                            c.AddItem(L"COM2");
                                            c.AddItem(L"SIM");
                                          },
                                          L"",
                                          {L"COM2", L"SIM"}},
                             ComboBoxCase{"AddingKeepsTheSelection",
                                          [](ComboBox& c) {
                                            c.AddItem(L"USB");
                                            c.SetListIndex(0);
                                            c.AddItem(L"SIM");
                                          },
                                          L"USB",
                                          {L"USB", L"SIM"}},
                             ComboBoxCase{"EmptyEntriesCountAndSelectAsEmpty",
                                          [](ComboBox& c) {
                                            c.AddItem(L"");
                                            c.AddItem(L"");
                                            c.AddItem(L"SIM");
                                            c.SetListIndex(1);
                                          },
                                          L"",
                                          {L"", L"", L"SIM"}},
                             ComboBoxCase{"NonAsciiEntriesRoundTrip",
                                          [](ComboBox& c) {
                                            c.AddItem(L"/dev/ttyS\u00e8");
                                            c.SetListIndex(0);
                                          },
                                          L"/dev/ttyS\u00e8",
                                          {L"/dev/ttyS\u00e8"}}),
                         [](const ::testing::TestParamInfo<ComboBoxCase>& testCase) {
                           return testCase.param.name;
                         });

}  // namespace
}  // namespace corvane::qtui
