// The one way the program shows a message box, and the wrapper that gives it
// to the window logic.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "main_window/controls.h"

class QMessageBox;
class QWidget;

namespace corvane::qtui {

// The box as the program shows it: `text` as plain text, one OK button, no
// icon, the application title as caption, application modal.
std::unique_ptr<QMessageBox> CreateMessageBox(QWidget* parent, const QString& text);

// Shows the box and returns when it was closed. While a hook is installed the
// text goes to the hook instead and nothing is shown.
void ShowMessageBox(QWidget* parent, const QString& text);

// For tests that answer message boxes without a screen; an empty hook removes
// it. UI thread only.
using MessageBoxHook = std::function<void(const QString& text)>;
void SetMessageBoxHook(MessageBoxHook hook);

class QtMsgBox final : public MsgBox {
 public:
  explicit QtMsgBox(QWidget* parent) : m_parent(parent) {}
  void Show(const std::wstring& text) override;

 private:
  QWidget* m_parent = nullptr;
};

}  // namespace corvane::qtui
