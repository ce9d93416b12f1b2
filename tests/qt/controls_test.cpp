// The wrappers behave as the window logic expects its controls to.
#include <gtest/gtest.h>

#include <QComboBox>
#include <functional>
#include <string>
#include <vector>

#include "qt_controls.h"

namespace corvane::qt {
namespace {

TEST(QtComboBox, SelectionFollowsOnlyTheProgramsAndEntriesStayAsAdded) {
  const struct {
    const char* name;
    std::function<void(ComboBox&)> operations;
    std::wstring text;
    std::vector<std::wstring> entries;
  } cases[] = {
      // A Qt combo box selects the first entry added to an empty list.
      {"entries added after Clear are not selected",
       [](ComboBox& c) {
         c.Append(L"COM1");
         c.Select(0);
         c.Clear();
         c.Append(L"COM2");
         c.Append(L"SIM");
       },
       L"",
       {L"COM2", L"SIM"}},
      {"adding keeps the selection",
       [](ComboBox& c) {
         c.Append(L"USB");
         c.Select(0);
         c.Append(L"SIM");
       },
       L"USB",
       {L"USB", L"SIM"}},
      {"empty entries count and select as empty",
       [](ComboBox& c) {
         for (const wchar_t* entry : {L"", L"", L"SIM"}) c.Append(entry);
         c.Select(1);
       },
       L"",
       {L"", L"", L"SIM"}},
      {"non-ASCII entries round-trip",
       [](ComboBox& c) {
         c.Append(L"/dev/ttyS\u00e8");
         c.Select(0);
       },
       L"/dev/ttyS\u00e8",
       {L"/dev/ttyS\u00e8"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QComboBox widget;
    QtComboBox comboBox(widget);
    c.operations(comboBox);
    EXPECT_EQ(comboBox.Text(), c.text);
    std::vector<std::wstring> entries;
    for (int index = -1; index <= comboBox.Count(); ++index) {
      entries.push_back(comboBox.EntryAt(index));
    }
    EXPECT_EQ(entries.front() + entries.back(), L"") << "an index outside the list reads empty";
    EXPECT_EQ(std::vector(entries.begin() + 1, entries.end() - 1), c.entries);
  }
}

}  // namespace
}  // namespace corvane::qt
