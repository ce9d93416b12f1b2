// The window logic's controls over Qt widgets. Each wrapper refers to a widget
// owned by the window's widget tree and must not outlive it.
#pragma once

#include <string>

#include "main_window/controls.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace corvane::qtui {

class QtLabel final : public Label {
 public:
  explicit QtLabel(QLabel& label) : m_label(label) {}
  void SetCaption(const std::wstring& caption) override;

 private:
  QLabel& m_label;
};

class QtTextBox final : public TextBox {
 public:
  explicit QtTextBox(QLineEdit& lineEdit) : m_lineEdit(lineEdit) {}
  void SetText(const std::wstring& text) override;

 private:
  QLineEdit& m_lineEdit;
};

class QtButton final : public Button {
 public:
  explicit QtButton(QPushButton& button) : m_button(button) {}
  void SetEnabled(bool enabled) override;

 private:
  QPushButton& m_button;
};

// A non-editable QComboBox behaving as a pick-only list that starts with no
// selection.
class QtComboBox final : public ComboBox {
 public:
  explicit QtComboBox(QComboBox& comboBox) : m_comboBox(comboBox) {}
  void SetEnabled(bool enabled) override;
  void Clear() override;
  void AddItem(const std::wstring& entry) override;
  int ListCount() const override;
  std::wstring List(int index) const override;
  void SetListIndex(int index) override;
  std::wstring Text() const override;

 private:
  QComboBox& m_comboBox;
};

}  // namespace corvane::qtui
