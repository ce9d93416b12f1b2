// The Win32 front end: Form1's top-level window with one native control per
// row of the layout table, kept at the window's DPI, its message loop and its
// dispatcher.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <utility>

#include "control_adapters.h"
#include "dpi_metrics.h"
#include "front_end.h"
#include "msg_box.h"
#include "ui_dispatcher.h"
#include "window_controls.h"

namespace corvane::win32 {

// A control's ID is its row in the layout table plus this; the IDs keep clear
// of IDOK and IDCANCEL, which IsDialogMessage sends for Enter and Esc.
inline constexpr int kFirstControlId = 100;

// A control's child window, found by its row of the layout table.
inline HWND ControlAt(HWND window, std::size_t row) {
  return GetDlgItem(window, kFirstControlId + static_cast<int>(row));
}

class Win32FrontEnd final : public FrontEnd {
 public:
  // Creates the window, hidden, with every control in its initial state.
  // Throws std::runtime_error when the system refuses the window.
  Win32FrontEnd(HINSTANCE instance, int showCommand);
  ~Win32FrontEnd() override;
  Win32FrontEnd(const Win32FrontEnd&) = delete;
  Win32FrontEnd& operator=(const Win32FrontEnd&) = delete;

  Form1Controls Controls() override { return m_controls.ForForm1(); }
  MsgBox& Messages() override { return m_msgBox; }
  std::shared_ptr<UiDispatcher> Dispatcher() override { return m_dispatcher; }
  void Show() override;
  int RunLoop() override;
  void Quit(int status) override;
  void Close() override;

  // nullptr once the window is destroyed.
  HWND Handle() const { return m_window; }

  // Runs `end` when Windows ends the session (a logoff, a shutdown), before
  // the window answers: Windows may end the process as soon as it has.
  void OnSessionEnd(std::function<void()> end) { m_onSessionEnd = std::move(end); }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  // Creates the window, which the controls need as their parent.
  HWND CreateForm(HINSTANCE instance);
  void ApplyDpi(UINT dpi);
  void FitClientArea();
  void OnCommand(WPARAM wParam, LPARAM lParam);
  void OnActivate(WPARAM wParam);
  void OnSetFocus();

  int m_showCommand;
  std::shared_ptr<Win32UiDispatcher> m_dispatcher;
  HWND m_window = nullptr;
  WindowControls<Win32Button, Win32ComboBox, Win32Label, Win32TextBox> m_controls;
  HWND m_lastFocus = nullptr;
  HFONT m_font = nullptr;
  UINT m_dpi = kDefaultDpi;
  Win32MsgBox m_msgBox{[this] { return m_window; }};
  std::function<void()> m_onSessionEnd;
};

}  // namespace corvane::win32
