// The Win32 front end: Form1's top-level window with one native control per
// row of the layout table, kept at the window's DPI, its message loop and its
// dispatcher.
#pragma once

#include <windows.h>

#include <array>
#include <memory>

#include "dpi_metrics.h"
#include "form1_layout.h"
#include "front_end.h"
#include "win32_controls.h"
#include "win32_ui_dispatcher.h"

namespace corvane::win32 {

// A control's ID is its row in the layout table plus this; the IDs keep clear
// of IDOK and IDCANCEL, which IsDialogMessage sends for Enter and Esc.
inline constexpr int kFirstControlId = 100;

class Win32FrontEnd final : public FrontEnd {
 public:
  // Creates the window, hidden, with every control in its initial state.
  // Throws std::runtime_error when the system refuses the window.
  Win32FrontEnd(HINSTANCE instance, int showCommand);
  ~Win32FrontEnd() override;
  Win32FrontEnd(const Win32FrontEnd&) = delete;
  Win32FrontEnd& operator=(const Win32FrontEnd&) = delete;

  ControlSet& Controls() override { return m_controls; }
  MsgBox& Messages() override { return m_msgBox; }
  std::shared_ptr<UiDispatcher> Dispatcher() override { return m_dispatcher; }
  void Show() override;
  int RunLoop() override;
  void Quit(int status) override;
  void Close() override;

  // nullptr once the window is destroyed.
  HWND Handle() const { return m_window; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls(HINSTANCE instance);
  void ApplyDpi(UINT dpi);
  void FitClientArea();
  void OnCommand(WPARAM wParam, LPARAM lParam);
  void OnActivate(WPARAM wParam);
  void OnSetFocus();

  int m_showCommand;
  std::shared_ptr<Win32UiDispatcher> m_dispatcher;
  HWND m_window = nullptr;
  std::array<HWND, layout::kControls.size()> m_handles{};
  ControlSet m_controls;
  HWND m_lastFocus = nullptr;
  HFONT m_font = nullptr;
  UINT m_dpi = kDefaultDpi;
  Win32MsgBox m_msgBox{[this] { return m_window; }};
};

}  // namespace corvane::win32
