#include "qt_msg_box.h"

#include <QMessageBox>

#include "form1_layout.h"

namespace corvane::qt {

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
  CreateMessageBox(parent, text)->exec();
}

}  // namespace corvane::qt
