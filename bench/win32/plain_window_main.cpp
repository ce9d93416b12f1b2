// The Windows start-up floor: the window's ten controls and nothing behind
// them (plain_window.h), shown, with Start focused as in the program.
#include <windows.h>

#include "form1_layout.h"
#include "plain_window.h"
#include "win32_front_end.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  const HWND window = corvane::bench::CreatePlainWindow(instance);
  if (window == nullptr) return 1;
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  SetFocus(GetDlgItem(window, corvane::win32::kFirstControlId +
                                  static_cast<int>(corvane::layout::IndexOf(L"btAttiva"))));
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(window, &message) != FALSE) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
