#include "main_window/win32/main_window.h"

#include <cwchar>

#include "main_window/win32/caption_font.h"

namespace corvane::win32 {
namespace {

constexpr const wchar_t* kWindowClass = L"CorvaneForm1";
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;
// How many entries the open drop-down list shows before it scrolls.
constexpr int kDropDownVisibleEntries = 8;

struct NativeKind {
  const wchar_t* windowClass;
  DWORD style;
  DWORD exStyle;
};

NativeKind NativeKindOf(layout::Kind kind) {
  switch (kind) {
    case layout::Kind::PushButton:
      return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case layout::Kind::DropDownList:
      return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
    case layout::Kind::TextBox:
      return {L"EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case layout::Kind::Label:
      break;
  }
  return {L"STATIC", SS_LEFT, 0};
}

bool RegisterWindowClass(HINSTANCE instance, WNDPROC windowProc) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, FailureSink onFailure)
    : m_onFailure(std::move(onFailure)) {
  if (!RegisterWindowClass(instance, &MainWindow::WindowProc)) return;
  m_window = CreateWindowExW(kWindowExStyle, kWindowClass, layout::kWindowCaption, kWindowStyle,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                             nullptr, instance, this);
  if (m_window == nullptr) return;
  CreateControls(instance);
  ApplyDpi(WindowDpi(m_window));
  FitClientArea();
}

MainWindow::~MainWindow() {
  Destroy();
  if (m_font != nullptr) DeleteObject(m_font);
}

void MainWindow::Show(int showCommand) {
  if (m_window == nullptr) return;
  ShowWindow(m_window, showCommand);
  UpdateWindow(m_window);
}

void MainWindow::Destroy() {
  if (m_window != nullptr) DestroyWindow(m_window);
}

HWND MainWindow::Control(const wchar_t* name) const {
  for (std::size_t index = 0; index < layout::kControls.size(); ++index) {
    if (std::wcscmp(layout::kControls[index].name, name) == 0) return m_controls[index];
  }
  return nullptr;
}

void MainWindow::CreateControls(HINSTANCE instance) {
  // Created in table order: the dialog manager tabs through the children in
  // the order they were created.
  for (std::size_t index = 0; index < layout::kControls.size(); ++index) {
    const layout::Control& control = layout::kControls[index];
    const NativeKind native = NativeKindOf(control.kind);
    DWORD style = WS_CHILD | WS_VISIBLE | native.style;
    if (!control.enabled) style |= WS_DISABLED;
    const wchar_t* caption = control.kind == layout::Kind::DropDownList ? L"" : control.caption;
    m_controls[index] = CreateWindowExW(
        native.exStyle, native.windowClass, caption, style, 0, 0, 0, 0, m_window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + static_cast<int>(index))),
        instance, nullptr);
  }

  m_btDisattiva = Win32Button(Control(L"btDisattiva"));
  m_btAttiva = Win32Button(Control(L"btAttiva"));
  m_cbCom = Win32ComboBox(Control(L"cbCom"));
  m_label2 = Win32Label(Control(L"Label2"));
  m_label4 = Win32Label(Control(L"Label4"));
  m_label5 = Win32Label(Control(L"Label5"));
  m_label1 = Win32Label(Control(L"Label1"));
  m_text1 = Win32TextBox(Control(L"Text1"));
  m_label3 = Win32Label(Control(L"Label3"));
  m_text2 = Win32TextBox(Control(L"Text2"));

  for (const wchar_t* entry : layout::kInitialPortEntries) m_cbCom.AddItem(entry);
}

void MainWindow::ApplyDpi(UINT dpi) {
  m_dpi = dpi;
  const HFONT font = CreateCaptionFont(dpi);
  for (std::size_t index = 0; index < layout::kControls.size(); ++index) {
    const layout::Control& control = layout::kControls[index];
    int height = TwipsToPixels(control.height, dpi);
    // A drop-down list's window height includes its open list; the closed box
    // takes its height from the font.
    if (control.kind == layout::Kind::DropDownList) height *= 1 + kDropDownVisibleEntries;
    SetWindowPos(m_controls[index], nullptr, TwipsToPixels(control.left, dpi),
                 TwipsToPixels(control.top, dpi), TwipsToPixels(control.width, dpi), height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(m_controls[index], WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  // The controls hold the new font now; the old one can go.
  if (m_font != nullptr) DeleteObject(m_font);
  m_font = font;
}

void MainWindow::FitClientArea() {
  const SIZE size =
      WindowSizeForClient(kWindowStyle, kWindowExStyle, TwipsToPixels(layout::kClientWidth, m_dpi),
                          TwipsToPixels(layout::kClientHeight, m_dpi), m_dpi);
  SetWindowPos(m_window, nullptr, 0, 0, size.cx, size.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) != BN_CLICKED || lParam == 0) return;
  const HWND button = reinterpret_cast<HWND>(lParam);
  // A click queued before the button was disabled must not run its handler
  // a second time (a second Start would lose the first reader's handle).
  if (!IsWindowEnabled(button)) return;
  if (button == Control(L"btAttiva") && m_clicks.btAttiva) {
    m_clicks.btAttiva();
  } else if (button == Control(L"btDisattiva") && m_clicks.btDisattiva) {
    m_clicks.btDisattiva();
  }
}

void MainWindow::OnActivate(WPARAM wParam) {
  // Remember which control had the focus, to give it back on return.
  if (LOWORD(wParam) == WA_INACTIVE) {
    const HWND focus = GetFocus();
    if (focus != nullptr && IsChild(m_window, focus)) m_lastFocus = focus;
  }
}

void MainWindow::OnSetFocus() {
  HWND target = m_lastFocus;
  if (target == nullptr || !IsWindowEnabled(target) || !IsChild(m_window, target)) {
    target = GetNextDlgTabItem(m_window, nullptr, FALSE);
  }
  if (target != nullptr) SetFocus(target);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      return 0;
    case WM_ACTIVATE:
      OnActivate(wParam);
      break;
    case WM_SETFOCUS:
      OnSetFocus();
      return 0;
    case WM_DPICHANGED: {
      ApplyDpi(HIWORD(wParam));
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(m_window, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(m_window, message, wParam, lParam);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->m_window = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->m_window = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  try {
    return self->Handle(message, wParam, lParam);
  } catch (...) {
    if (self->m_onFailure) self->m_onFailure(std::current_exception());
    return 0;
  }
}

}  // namespace corvane::win32
