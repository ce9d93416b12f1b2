#include "main_window/qt/qt_msg_box.h"

#include <QMessageBox>
#include <QTimer>
#include <utility>

#include "main_window/form1_layout.h"
#include "main_window/qt/qt_text.h"

namespace corvane::qtui {
namespace {

MessageBoxHook& InstalledHook() {
  static MessageBoxHook hook;
  return hook;
}

// Set only by tests that run the real executable without anyone to answer:
// CORVANE_TEST_AUTOCLOSE=1 closes each box right after it is shown, so a run
// that reports a fatal error still ends by itself.
bool AutoCloseRequested() { return qEnvironmentVariableIntValue("CORVANE_TEST_AUTOCLOSE") == 1; }

}  // namespace

std::unique_ptr<QMessageBox> CreateMessageBox(QWidget* parent, const QString& text) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setWindowTitle(QString::fromWCharArray(layout::kApplicationTitle));
  box->setIcon(QMessageBox::NoIcon);
  // Texts come from the reader library too; they must never be read as markup.
  box->setTextFormat(Qt::PlainText);
  box->setText(text);
  box->setStandardButtons(QMessageBox::Ok);
  box->setDefaultButton(QMessageBox::Ok);
  box->setWindowModality(Qt::ApplicationModal);
  return box;
}

void ShowMessageBox(QWidget* parent, const QString& text) {
  if (const MessageBoxHook& hook = InstalledHook()) {
    hook(text);
    return;
  }
  const std::unique_ptr<QMessageBox> box = CreateMessageBox(parent, text);
  if (AutoCloseRequested()) {
    QTimer::singleShot(0, box.get(), &QMessageBox::accept);
  }
  box->exec();
}

void SetMessageBoxHook(MessageBoxHook hook) { InstalledHook() = std::move(hook); }

void QtMsgBox::Show(const std::wstring& text) { ShowMessageBox(m_parent, ToQString(text)); }

}  // namespace corvane::qtui
