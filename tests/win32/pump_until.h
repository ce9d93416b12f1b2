#pragma once

#include <windows.h>

#include <functional>

// Runs this thread's messages, at least once, until `done`; false at the deadline.
inline bool PumpUntil(const std::function<bool()>& done) {
  const ULONGLONG deadline = GetTickCount64() + 30000;  // ms, for any wait of these tests
  for (MSG message{};; MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT)) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    if (done()) return true;
    if (GetTickCount64() >= deadline) return false;
  }
}

// Windows grants the foreground only at times, so this asks until it is granted.
inline bool InFront(HWND window) {
  return PumpUntil([&] { return SetForegroundWindow(window), GetForegroundWindow() == window; });
}
