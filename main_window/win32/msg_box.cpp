#include "msg_box.h"

#include "form1_layout.h"

namespace corvane::win32 {

void Win32MsgBox::Show(const std::wstring& text) {
  const HWND window = m_window();
  const HWND owner = window != nullptr && IsWindowVisible(window) ? window : nullptr;
  MessageBoxW(owner, text.c_str(), layout::kApplicationTitle, MB_OK);
}

}  // namespace corvane::win32
