// Form1's control interfaces over native controls: each adapter wraps one
// child window and does only what Form1 asks of it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "controls.h"

namespace corvane::win32 {

class Win32Label final : public Label {
 public:
  explicit Win32Label(HWND control) : m_control(control) {}
  void SetCaption(const std::wstring& caption) override;

 private:
  HWND m_control = nullptr;
};

class Win32TextBox final : public TextBox {
 public:
  explicit Win32TextBox(HWND control) : m_control(control) {}
  void SetText(const std::wstring& text) override;

 private:
  HWND m_control = nullptr;
};

class Win32Button final : public Button {
 public:
  explicit Win32Button(HWND control) : m_control(control) {}
  void SetEnabled(bool enabled) override;
  void SetClickHandler(std::function<void()> handler) override { m_onClick = std::move(handler); }
  // The window calls this for the button's BN_CLICKED.
  void Click() const;

 private:
  HWND m_control = nullptr;
  std::function<void()> m_onClick;
};

class Win32ComboBox final : public ComboBox {
 public:
  explicit Win32ComboBox(HWND control) : m_control(control) {}
  void SetEnabled(bool enabled) override;
  void Clear() override;
  void Append(const std::wstring& entry) override;
  int Count() const override;
  std::wstring EntryAt(int index) const override;
  void Select(int index) override;
  std::wstring Text() const override;

 private:
  HWND m_control = nullptr;
};

}  // namespace corvane::win32
