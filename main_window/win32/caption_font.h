// The Win32 side of the caption rule in main_window/caption_fit.h.
#pragma once

#include <windows.h>

namespace corvane::win32 {

// The system's message font at `dpi`, sized by the caption rule; the caller
// deletes it.
HFONT CreateCaptionFont(UINT dpi);

}  // namespace corvane::win32
