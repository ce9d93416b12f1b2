// The one way the program shows a message box.
#pragma once

#include <QString>
#include <memory>

class QMessageBox;
class QWidget;

namespace corvane::qt {

// The box as the program shows it: `text` as plain text, one OK button, no
// icon, the application title as caption, application modal.
std::unique_ptr<QMessageBox> CreateMessageBox(QWidget* parent, const QString& text);

// Shows the box and returns when it was closed.
void ShowMessageBox(QWidget* parent, const QString& text);

}  // namespace corvane::qt
