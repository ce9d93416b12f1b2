// The Windows floor for start-up and idle cost: a top-level window with the
// ten controls of the layout table, with their captions, geometry and the
// message font at the window's DPI, and nothing behind them: no reader
// library, no window logic.
#pragma once

#include <windows.h>

namespace corvane::bench {

// Creates the window, hidden; nullptr when the system refuses it. Each
// control's ID is its row of the layout table plus kFirstControlId, as in the
// program. Destroying the window ends the thread's message loop.
HWND CreatePlainWindow(HINSTANCE instance);

}  // namespace corvane::bench
