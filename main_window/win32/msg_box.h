// The window's message box: the one way the program shows one.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "controls.h"

namespace corvane::win32 {

// `text`, one OK button, no icon, the application title as caption. Owned by
// the window once it is on screen. Before that an unowned box, so that it gets
// a taskbar button and cannot hide behind an invisible owner.
class Win32MsgBox final : public MsgBox {
 public:
  explicit Win32MsgBox(std::function<HWND()> window) : m_window(std::move(window)) {}
  void Show(const std::wstring& text) override;

 private:
  std::function<HWND()> m_window;
};

}  // namespace corvane::win32
