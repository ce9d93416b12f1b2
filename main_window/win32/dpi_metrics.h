// What the window needs from the system's DPI: the DPI of a window, the
// message font at a DPI, and a window size for a client size at a DPI.
// The per-DPI functions exist from Windows 10 on; earlier systems get the
// screen's DPI, which is all they have.
#pragma once

#include <windows.h>

namespace corvane::win32 {

inline constexpr UINT kDefaultDpi = USER_DEFAULT_SCREEN_DPI;

UINT WindowDpi(HWND window);

// The system's message font scaled to `dpi`.
LOGFONTW MessageFont(UINT dpi);

// The outer size of a window with `style`/`exStyle` whose client area is
// clientWidth x clientHeight pixels at `dpi`.
SIZE WindowSizeForClient(DWORD style, DWORD exStyle, int clientWidth, int clientHeight, UINT dpi);

}  // namespace corvane::win32
