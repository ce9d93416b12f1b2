#include "control_adapters.h"

namespace corvane::win32 {
namespace {

// Disables `control`; if it holds the keyboard focus, the focus first moves
// to the next control that can take it, so Tab and the access keys keep
// working.
void DisableKeepingFocus(HWND control) {
  if (GetFocus() == control) {
    const HWND parent = GetParent(control);
    const HWND next = GetNextDlgTabItem(parent, control, FALSE);
    SetFocus(next != nullptr && next != control ? next : parent);
  }
  EnableWindow(control, FALSE);
}

}  // namespace

void Win32Label::SetCaption(const std::wstring& caption) {
  SetWindowTextW(m_control, caption.c_str());
}

void Win32TextBox::SetText(const std::wstring& text) { SetWindowTextW(m_control, text.c_str()); }

void Win32Button::SetEnabled(bool enabled) {
  if (enabled) {
    EnableWindow(m_control, TRUE);
  } else {
    DisableKeepingFocus(m_control);
  }
}

void Win32Button::Click() const {
  // A click queued before the button was disabled must not run its handler
  // a second time (a second Start would lose the first reader's handle).
  if (m_onClick && IsWindowEnabled(m_control) != FALSE) m_onClick();
}

void Win32ComboBox::SetEnabled(bool enabled) {
  if (enabled) {
    EnableWindow(m_control, TRUE);
  } else {
    DisableKeepingFocus(m_control);
  }
}

void Win32ComboBox::Clear() { SendMessageW(m_control, CB_RESETCONTENT, 0, 0); }

void Win32ComboBox::Append(const std::wstring& entry) {
  SendMessageW(m_control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
}

int Win32ComboBox::Count() const {
  const LRESULT count = SendMessageW(m_control, CB_GETCOUNT, 0, 0);
  return count == CB_ERR ? 0 : static_cast<int>(count);
}

std::wstring Win32ComboBox::EntryAt(int index) const {
  const LRESULT length = SendMessageW(m_control, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (index < 0 || length == CB_ERR) return {};
  // CB_GETLBTEXT writes the NUL too, which the string's own terminator holds.
  std::wstring entry(static_cast<std::size_t>(length), L'\0');
  const LRESULT copied = SendMessageW(m_control, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                      reinterpret_cast<LPARAM>(entry.data()));
  if (copied == CB_ERR) return {};
  entry.resize(static_cast<std::size_t>(copied));
  return entry;
}

void Win32ComboBox::Select(int index) {
  SendMessageW(m_control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::wstring Win32ComboBox::Text() const {
  const LRESULT selected = SendMessageW(m_control, CB_GETCURSEL, 0, 0);
  return selected == CB_ERR ? std::wstring() : EntryAt(static_cast<int>(selected));
}

}  // namespace corvane::win32
