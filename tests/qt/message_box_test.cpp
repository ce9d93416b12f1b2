// The program's message boxes, shown for real and closed by a timer.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QWidget>

#include "main_window/qt/qt_msg_box.h"
#include "tests/qt/qt_test_support.h"

namespace corvane::qtui {
namespace {

struct MessageCase {
  const char* name;
  std::wstring text;
  friend void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.name; }
};

class MessageBoxTest : public ::testing::TestWithParam<MessageCase> {};

TEST_P(MessageBoxTest, ShowsTheTextOnceWithOneOkAndNoIcon) {
  QWidget parent;
  QtMsgBox msgBox(&parent);
  testing::ModalCloser closer;

  msgBox.Show(GetParam().text);  // returns once the closer has answered it

  ASSERT_EQ(closer.Closed().size(), 1u);
  const testing::ClosedMessageBox& shown = closer.Closed().front();
  EXPECT_EQ(shown.title, QStringLiteral("Corvane"));
  EXPECT_EQ(shown.text, QString::fromStdWString(GetParam().text));
  EXPECT_EQ(shown.icon, static_cast<int>(QMessageBox::NoIcon));
  EXPECT_EQ(shown.buttons, QList<int>{QMessageBox::Ok});
  EXPECT_TRUE(shown.plainText);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MessageBoxTest,
    ::testing::Values(MessageCase{"ProgramMessage", L"Porta seriale non utilizzabile"},
                      // Error texts come from the reader library: markup in
                      // them is shown as typed, never interpreted.
                      MessageCase{"LibraryTextWithMarkup", L"<b>porta</b> & <a href=x>y</a>"},
                      MessageCase{"Accented", L"Connessione persa \u00e8 \u00e0"},
                      MessageCase{"Empty", L""}),
    [](const ::testing::TestParamInfo<MessageCase>& testCase) { return testCase.param.name; });

}  // namespace
}  // namespace corvane::qtui
