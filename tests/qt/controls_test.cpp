// The wrappers behave as the window logic expects its controls to.
#include <gtest/gtest.h>

#include <QComboBox>
#include <string>
#include <vector>

#include "qt_controls.h"

namespace corvane::qt {
namespace {

TEST(QtComboBox, SelectionFollowsOnlyTheProgramsAndEntriesStayAsAdded) {
  QComboBox widget;
  QtComboBox combo(widget);
  // Every entry, and what an index just outside the list reads on each side.
  const auto entries = [&] {
    std::vector<std::wstring> read;
    for (int index = -1; index <= combo.Count(); ++index) read.push_back(combo.EntryAt(index));
    return read;
  };
  combo.Append(L"COM1");
  combo.Select(0);
  combo.Clear();
  // A Qt combo box by itself selects the first entry added to an empty list.
  combo.Append(L"USB");
  combo.Append(L"");
  EXPECT_EQ(combo.Text(), L"") << "entries added after Clear are not selected";
  combo.Select(0);
  combo.Append(L"/dev/ttyS\u00e8");
  EXPECT_EQ(combo.Text(), L"USB") << "adding keeps the selection";
  combo.Select(1);
  EXPECT_EQ(combo.Text(), L"") << "an empty entry selects as empty";
  combo.Select(2);
  EXPECT_EQ(combo.Text(), L"/dev/ttyS\u00e8") << "non-ASCII entries round-trip";
  EXPECT_EQ(entries(), (std::vector<std::wstring>{L"", L"USB", L"", L"/dev/ttyS\u00e8", L""}));
}

}  // namespace
}  // namespace corvane::qt
