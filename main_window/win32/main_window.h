// Form1's window on Win32: the top-level window and its native controls, built
// from the layout table and kept at the window's DPI. It knows nothing of what
// the buttons do; the program hands it the two click handlers.
#pragma once

#include <windows.h>

#include <array>
#include <functional>

#include "main_window/form1.h"
#include "main_window/form1_layout.h"
#include "main_window/win32/dpi_metrics.h"
#include "main_window/win32/win32_controls.h"

namespace corvane::win32 {

class MainWindow {
 public:
  struct ClickHandlers {
    std::function<void()> btAttiva;
    std::function<void()> btDisattiva;
  };
  // Receives what a handler throws, so no exception leaves the window procedure.
  using FailureSink = std::function<void(std::exception_ptr)>;

  // Creates the window, hidden, with every control in its initial state.
  MainWindow(HINSTANCE instance, FailureSink onFailure);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  bool Created() const { return m_window != nullptr; }
  // nullptr once the window is destroyed.
  HWND Handle() const { return m_window; }
  void SetClickHandlers(ClickHandlers handlers) { m_clicks = std::move(handlers); }
  const Form1Controls& Controls() const { return m_form1Controls; }

  void Show(int showCommand);
  void Destroy();

  // A control's ID is its index in the layout table plus this; the IDs keep
  // clear of IDOK and IDCANCEL, which IsDialogMessage sends for Enter and Esc.
  static constexpr int kFirstControlId = 100;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls(HINSTANCE instance);
  void ApplyDpi(UINT dpi);
  void FitClientArea();
  void OnCommand(WPARAM wParam, LPARAM lParam);
  void OnActivate(WPARAM wParam);
  void OnSetFocus();
  HWND Control(const wchar_t* name) const;

  FailureSink m_onFailure;
  ClickHandlers m_clicks;
  HWND m_window = nullptr;
  std::array<HWND, layout::kControls.size()> m_controls{};
  HWND m_lastFocus = nullptr;
  HFONT m_font = nullptr;
  UINT m_dpi = kDefaultDpi;

  Win32Button m_btDisattiva{nullptr};
  Win32Button m_btAttiva{nullptr};
  Win32ComboBox m_cbCom{nullptr};
  Win32Label m_label2{nullptr};
  Win32Label m_label4{nullptr};
  Win32Label m_label5{nullptr};
  Win32Label m_label1{nullptr};
  Win32TextBox m_text1{nullptr};
  Win32Label m_label3{nullptr};
  Win32TextBox m_text2{nullptr};
  Win32MsgBox m_msgBox{[this] { return m_window; }};
  Form1Controls m_form1Controls{m_btDisattiva, m_btAttiva, m_cbCom,  m_label2, m_label4, m_label5,
                                m_label1,      m_text1,    m_label3, m_text2,  m_msgBox};
};

}  // namespace corvane::win32
