#include "control_adapters.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

#include "qt_text.h"

namespace corvane::qt {

void QtLabel::SetCaption(const std::wstring& caption) { m_label.setText(ToQString(caption)); }

void QtTextBox::SetText(const std::wstring& text) { m_lineEdit.setText(ToQString(text)); }

QtButton::QtButton(QPushButton& button) : m_button(button) {
  QObject::connect(&m_button, &QPushButton::clicked, [this] {
    if (m_onClick) m_onClick();
  });
}

void QtButton::SetEnabled(bool enabled) { m_button.setEnabled(enabled); }

void QtButton::SetClickHandler(std::function<void()> handler) { m_onClick = std::move(handler); }

void QtComboBox::SetEnabled(bool enabled) { m_comboBox.setEnabled(enabled); }

void QtComboBox::Clear() { m_comboBox.clear(); }

void QtComboBox::Append(const std::wstring& entry) {
  // QComboBox selects the first entry added to an empty list by itself. The
  // list must stay unselected until the program picks an entry, or Start would
  // open a port that neither the program nor the operator chose.
  const bool hadSelection = m_comboBox.currentIndex() >= 0;
  m_comboBox.addItem(ToQString(entry));
  if (!hadSelection) {
    m_comboBox.setCurrentIndex(-1);
  }
}

int QtComboBox::Count() const { return m_comboBox.count(); }

std::wstring QtComboBox::EntryAt(int index) const {
  if (index < 0 || index >= m_comboBox.count()) {
    return {};
  }
  return ToWString(m_comboBox.itemText(index));
}

void QtComboBox::Select(int index) { m_comboBox.setCurrentIndex(index); }

std::wstring QtComboBox::Text() const {
  if (m_comboBox.currentIndex() < 0) {
    return {};
  }
  return ToWString(m_comboBox.currentText());
}

}  // namespace corvane::qt
