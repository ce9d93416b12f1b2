#pragma once

#include <windows.h>

#include <functional>

// The one wait of the Win32 tests: runs this thread's messages, at least once,
// until `done`; false when that takes over 30 s.
inline bool PumpUntil(const std::function<bool()>& done) {
  const ULONGLONG deadline = GetTickCount64() + 30000;
  for (MSG message{};; MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT)) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    if (done()) return true;
    if (GetTickCount64() >= deadline) return false;
  }
}
