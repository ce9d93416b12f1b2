// The window logic's controls over Qt widgets. Each adapter refers to a widget
// owned by the window's widget tree and must not outlive it.
#pragma once

#include <functional>
#include <string>

#include "controls.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace corvane::qt {

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
  explicit QtButton(QPushButton& button);
  void SetEnabled(bool enabled) override;
  void SetClickHandler(std::function<void()> handler) override;

 private:
  QPushButton& m_button;
  std::function<void()> m_onClick;
};

// A non-editable QComboBox behaving as a pick-only list that starts with no
// selection.
class QtComboBox final : public ComboBox {
 public:
  explicit QtComboBox(QComboBox& comboBox) : m_comboBox(comboBox) {}
  void SetEnabled(bool enabled) override;
  void Clear() override;
  void Append(const std::wstring& entry) override;
  int Count() const override;
  std::wstring EntryAt(int index) const override;
  void Select(int index) override;
  std::wstring Text() const override;

 private:
  QComboBox& m_comboBox;
};

}  // namespace corvane::qt
