#include "plain_window.h"

#include "caption_font.h"
#include "dpi_metrics.h"
#include "form1_layout.h"
#include "win32_front_end.h"

namespace corvane::bench {
namespace {

constexpr const wchar_t* kWindowClass = L"CorvanePlainWindow";
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    DeleteObject(reinterpret_cast<HFONT>(GetWindowLongPtrW(window, GWLP_USERDATA)));
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

HWND CreatePlainWindow(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);
  const HWND window = CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, layout::kWindowCaption,
                                      kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                      CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return nullptr;

  const UINT dpi = win32::WindowDpi(window);
  const int scale = static_cast<int>(dpi);
  const HFONT font = win32::CreateCaptionFont(dpi);  // the program's own font rule
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(font));
  for (std::size_t index = 0; index < layout::kControls.size(); ++index) {
    const layout::ControlRow& row = layout::kControls[index];
    const win32::NativeKind native = win32::NativeKindOf(row.kind);
    const bool list = row.kind == layout::Kind::DropDownList;
    const HWND control = CreateWindowExW(
        native.exStyle, native.windowClass, list ? L"" : row.caption,
        WS_CHILD | WS_VISIBLE | native.style | (row.enabled ? 0 : WS_DISABLED),
        layout::TwipsToPixels(row.left, scale), layout::TwipsToPixels(row.top, scale),
        layout::TwipsToPixels(row.width, scale),
        layout::TwipsToPixels(row.height, scale) * (list ? 9 : 1), window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(win32::kFirstControlId + index)), instance,
        nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (list) {
      for (const wchar_t* entry : layout::kInitialPortEntries) {
        SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
      }
    }
  }
  const SIZE size = win32::WindowSizeForClient(
      kWindowStyle, WS_EX_CONTROLPARENT, layout::TwipsToPixels(layout::kClientWidth, scale),
      layout::TwipsToPixels(layout::kClientHeight, scale), dpi);
  SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
  return window;
}

}  // namespace corvane::bench
