// The program's life after QApplication exists: the window, its load, the
// event loop, its end.
#pragma once

#include "reader_binding/reader_library.h"

namespace corvane::qtui {

// Creates the window, runs Form_Load, shows the window and runs the event loop
// until the window is closed, then destroys the window (Form_Terminate).
// Returns the exit status: kExitFatalError after a reported fatal error (the
// window is never shown when it happens during Form_Load).
int RunProgram(ReaderLibrary& library);

}  // namespace corvane::qtui
