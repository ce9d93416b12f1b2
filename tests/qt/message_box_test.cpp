// The program's message boxes, shown for real and closed by a timer.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

#include "qt_controls.h"
#include "qt_msg_box.h"
#include "qt_test_support.h"

namespace corvane::qt {
namespace {

struct ClosedMessageBox {
  QString title;
  QString text;
  int icon = -1;
  QList<int> buttons;  // each button's QMessageBox::StandardButton
  bool plainText = false;
};

// Watches for application-modal message boxes with a chain of single-shot
// timers until `watching` is cleared, and closes each one through its OK
// button, recording what it showed. Shared, as a timer may still be pending
// when the test ends.
struct ModalWatch {
  bool watching = true;
  std::vector<ClosedMessageBox> closed;
};

void Watch(const std::shared_ptr<ModalWatch>& watch) {
  QTimer::singleShot(std::chrono::milliseconds(5), [watch] {
    if (!watch->watching) return;
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        box != nullptr && box->isVisible()) {
      ClosedMessageBox seen{box->windowTitle(),
                            box->text(),
                            static_cast<int>(box->icon()),
                            {},
                            box->textFormat() == Qt::PlainText};
      for (QAbstractButton* button : box->buttons()) {
        seen.buttons.append(static_cast<int>(box->standardButton(button)));
      }
      watch->closed.push_back(seen);
      if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
        ok->click();
      } else {
        box->reject();
      }
    }
    Watch(watch);
  });
}

TEST(QtMsgBox, ShowsTheTextOnceWithOneOkAndNoIcon) {
  const std::wstring texts[] = {L"Porta seriale non utilizzabile",
                                // Error texts come from the reader library:
                                // markup in them is shown as typed, never
                                // interpreted.
                                L"<b>porta</b> & <a href=x>y</a>",
                                L"Connessione persa \u00e8 \u00e0", L""};
  for (const std::wstring& text : texts) {
    SCOPED_TRACE(QString::fromStdWString(text).toStdString());
    QWidget parent;
    QtMsgBox msgBox(&parent);
    const auto watch = std::make_shared<ModalWatch>();
    Watch(watch);
    msgBox.Show(text);  // returns once the watch has answered it
    watch->watching = false;

    ASSERT_EQ(watch->closed.size(), 1u);
    const ClosedMessageBox& shown = watch->closed.front();
    EXPECT_EQ(shown.title, QStringLiteral("Corvane"));
    EXPECT_EQ(shown.text, QString::fromStdWString(text));
    EXPECT_EQ(shown.icon, static_cast<int>(QMessageBox::NoIcon));
    EXPECT_EQ(shown.buttons, QList<int>{QMessageBox::Ok});
    EXPECT_TRUE(shown.plainText);
  }
}

}  // namespace
}  // namespace corvane::qt
