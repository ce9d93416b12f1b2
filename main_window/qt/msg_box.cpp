#include "msg_box.h"

#include <QMessageBox>

#include "form1_layout.h"
#include "qt_text.h"

namespace corvane::qt {

void QtMsgBox::Show(const std::wstring& text) {
  QMessageBox box(m_parent);
  box.setWindowTitle(QString::fromWCharArray(layout::kApplicationTitle));
  box.setIcon(QMessageBox::NoIcon);
  // Texts come from the reader library too; they must never be read as markup.
  box.setTextFormat(Qt::PlainText);
  box.setText(ToQString(text));
  box.setStandardButtons(QMessageBox::Ok);
  box.setDefaultButton(QMessageBox::Ok);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

}  // namespace corvane::qt
