// The program's message boxes, shown for real and answered by a timer.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "qt_controls.h"
#include "qt_test_support.h"

namespace corvane::qt {
namespace {

TEST(QtMsgBox, ShowsTheTextOnceWithOneOkAndNoIcon) {
  const std::wstring texts[] = {L"Porta seriale non utilizzabile",
                                // Error texts come from the reader library:
                                // markup in them is shown as typed.
                                L"<b>porta</b> & <a href=x>y</a>",
                                L"Connessione persa \u00e8 \u00e0", L""};
  for (const std::wstring& text : texts) {
    SCOPED_TRACE(QString::fromStdWString(text).toStdString());
    QWidget parent;
    QtMsgBox msgBox(&parent);
    int answered = 0;
    // Runs inside the box's own event loop, once the box is up.
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->windowTitle(), QStringLiteral("Corvane"));
      EXPECT_EQ(box->text(), QString::fromStdWString(text));
      EXPECT_EQ(box->textFormat(), Qt::PlainText);
      EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
      EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
      ++answered;
      box->button(QMessageBox::Ok)->click();
    });
    msgBox.Show(text);
    EXPECT_EQ(answered, 1);
  }
}

}  // namespace
}  // namespace corvane::qt
