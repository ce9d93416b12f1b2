#include "toolkit_front_end.h"

#include <stdexcept>

#include "caption_font.h"
#include "corvane_resources.h"

namespace corvane::win32 {
namespace {

constexpr const wchar_t* kWindowClass = L"CorvaneForm1";
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;
// How many entries the open drop-down list shows before it scrolls.
constexpr int kDropDownVisibleEntries = 8;

// Makes each control of the table as a child window, in its initial state;
// ApplyDpi places and sizes it.
class Maker {
 public:
  Maker(HWND window, HINSTANCE instance) : m_window(window), m_instance(instance) {}

  std::unique_ptr<Win32Button> MakeButton(const layout::ControlRow& row) {
    return std::make_unique<Win32Button>(
        Create(row, row.caption, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP));
  }
  std::unique_ptr<Win32ComboBox> MakeComboBox(const layout::ControlRow& row) {
    auto comboBox = std::make_unique<Win32ComboBox>(
        Create(row, L"", L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP));
    for (const wchar_t* entry : layout::kInitialPortEntries) comboBox->Append(entry);
    return comboBox;
  }
  std::unique_ptr<Win32Label> MakeLabel(const layout::ControlRow& row) {
    return std::make_unique<Win32Label>(Create(row, row.caption, L"STATIC", SS_LEFT));
  }
  std::unique_ptr<Win32TextBox> MakeTextBox(const layout::ControlRow& row) {
    return std::make_unique<Win32TextBox>(
        Create(row, row.caption, L"EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE));
  }

 private:
  HWND Create(const layout::ControlRow& row, const wchar_t* caption, const wchar_t* windowClass,
              DWORD style, DWORD exStyle = 0) const {
    const int id = kFirstControlId + static_cast<int>(layout::IndexOf(row.name));
    return CreateWindowExW(exStyle, windowClass, caption,
                           WS_CHILD | WS_VISIBLE | style | (row.enabled ? 0 : WS_DISABLED), 0, 0, 0,
                           0, m_window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           m_instance, nullptr);
  }

  HWND m_window;
  HINSTANCE m_instance;
};

// Windows names a control for screen readers by the text just before it in
// the order of the window's children, which is the order they were created
// in: the table's (tab) order. So each label moves to just before the control
// it names; labels take no focus, so the tab order stays as it is.
void PutLabelsBeforeTheirControls(HWND window) {
  for (std::size_t row = 0; row < layout::kControls.size(); ++row) {
    const wchar_t* named = layout::kControls[row].names;
    if (named == nullptr) continue;
    const HWND label = ControlAt(window, row);
    const HWND before = GetWindow(ControlAt(window, layout::IndexOf(named)), GW_HWNDPREV);
    if (before == label) continue;
    SetWindowPos(label, before != nullptr ? before : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

HICON LoadProgramIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_CORVANE), IMAGE_ICON,
                                       GetSystemMetrics(widthMetric),
                                       GetSystemMetrics(heightMetric), LR_SHARED));
}

bool RegisterWindowClass(HINSTANCE instance, WNDPROC windowProc) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  // The program's own icon, at the sizes the system draws; a program built
  // without it gets the system's.
  windowClass.hIcon = LoadProgramIcon(instance, SM_CXICON, SM_CYICON);
  windowClass.hIconSm = LoadProgramIcon(instance, SM_CXSMICON, SM_CYSMICON);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

Win32FrontEnd::Win32FrontEnd(HINSTANCE instance, int showCommand)
    : m_showCommand(showCommand),
      m_dispatcher(std::make_shared<Win32UiDispatcher>(instance)),
      m_controls(Maker(CreateForm(instance), instance)) {
  PutLabelsBeforeTheirControls(m_window);
  ApplyDpi(WindowDpi(m_window));
  FitClientArea();
}

HWND Win32FrontEnd::CreateForm(HINSTANCE instance) {
  if (!RegisterWindowClass(instance, &Win32FrontEnd::WindowProc)) {
    throw std::runtime_error("the window class could not be registered");
  }
  m_window = CreateWindowExW(kWindowExStyle, kWindowClass, layout::kWindowCaption, kWindowStyle,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                             nullptr, instance, this);
  if (m_window == nullptr) throw std::runtime_error("the window could not be created");
  return m_window;
}

Win32FrontEnd::~Win32FrontEnd() {
  Close();
  // The library calls back no more; what is still queued has no window to go to.
  m_dispatcher->Shutdown();
  if (m_font != nullptr) DeleteObject(m_font);
}

void Win32FrontEnd::Show() {
  if (m_window == nullptr) return;
  ShowWindow(m_window, m_showCommand);
  UpdateWindow(m_window);
}

int Win32FrontEnd::RunLoop() {
  MSG message{};
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) throw std::runtime_error("the message loop failed");
    // Tab, Shift+Tab and the access keys, as in a dialog.
    if (m_window != nullptr && IsDialogMessageW(m_window, &message) != FALSE) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void Win32FrontEnd::Quit(int status) { PostQuitMessage(status); }

void Win32FrontEnd::Close() {
  if (m_window != nullptr) DestroyWindow(m_window);
}

void Win32FrontEnd::ApplyDpi(UINT dpi) {
  m_dpi = dpi;
  const HFONT font = CreateCaptionFont(dpi);
  for (std::size_t index = 0; index < layout::kControls.size(); ++index) {
    const layout::ControlRow& control = layout::kControls[index];
    const int scale = static_cast<int>(dpi);
    int height = layout::TwipsToPixels(control.height, scale);
    // A drop-down list's window height includes its open list; the closed box
    // takes its height from the font.
    if (control.kind == layout::Kind::DropDownList) height *= 1 + kDropDownVisibleEntries;
    const HWND handle = ControlAt(m_window, index);
    SetWindowPos(handle, nullptr, layout::TwipsToPixels(control.left, scale),
                 layout::TwipsToPixels(control.top, scale),
                 layout::TwipsToPixels(control.width, scale), height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  // The controls hold the new font now; the old one can go.
  if (m_font != nullptr) DeleteObject(m_font);
  m_font = font;
}

void Win32FrontEnd::FitClientArea() {
  const SIZE size = WindowSizeForClient(
      kWindowStyle, kWindowExStyle,
      layout::TwipsToPixels(layout::kClientWidth, static_cast<int>(m_dpi)),
      layout::TwipsToPixels(layout::kClientHeight, static_cast<int>(m_dpi)), m_dpi);
  SetWindowPos(m_window, nullptr, 0, 0, size.cx, size.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32FrontEnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) != BN_CLICKED || lParam == 0) return;
  const auto row = static_cast<std::size_t>(LOWORD(wParam) - kFirstControlId);
  if (row >= layout::kControls.size() ||
      ControlAt(m_window, row) != reinterpret_cast<HWND>(lParam)) {
    return;
  }
  if (const Win32Button* button = m_controls.ButtonAt(row)) button->Click();
}

void Win32FrontEnd::OnActivate(WPARAM wParam) {
  // Remember which control had the focus, to give it back on return.
  if (LOWORD(wParam) == WA_INACTIVE) {
    const HWND focus = GetFocus();
    if (focus != nullptr && IsChild(m_window, focus)) m_lastFocus = focus;
  }
}

void Win32FrontEnd::OnSetFocus() {
  HWND target = m_lastFocus;
  if (target == nullptr || !IsWindowEnabled(target) || !IsChild(m_window, target)) {
    target = GetNextDlgTabItem(m_window, nullptr, FALSE);
  }
  if (target != nullptr) SetFocus(target);
}

LRESULT Win32FrontEnd::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
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
    case WM_QUERYENDSESSION:
      return TRUE;  // nothing to keep: the session may end
    case WM_ENDSESSION:
      if (wParam != FALSE && m_onSessionEnd) m_onSessionEnd();
      return 0;
    case WM_DESTROY:
      // Deliveries already posted would run before the loop sees the quit,
      // and an error's box would open with no window: they go now.
      m_dispatcher->Shutdown();
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(m_window, message, wParam, lParam);
}

LRESULT CALLBACK Win32FrontEnd::WindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<Win32FrontEnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->m_window = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Win32FrontEnd*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->m_window = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  // Handlers report their own failures: nothing unwinds out of here.
  try {
    return self->Handle(message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

}  // namespace corvane::win32
