// The window's message box: the one way the program shows one.
#pragma once

#include <QPointer>
#include <QWidget>
#include <string>

#include "controls.h"

namespace corvane::qt {

// `text` as plain text, one OK button, no icon, the application title as
// caption, application modal. Boxes belong to the window while it exists, and
// to no window after it.
class QtMsgBox final : public MsgBox {
 public:
  explicit QtMsgBox(QWidget* parent) : m_parent(parent) {}
  void Show(const std::wstring& text) override;

 private:
  QPointer<QWidget> m_parent;
};

}  // namespace corvane::qt
