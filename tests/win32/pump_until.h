#pragma once

#include <windows.h>

#include <cstdio>
#include <functional>

// How long any wait of the Win32 tests may take before it fails.
inline constexpr DWORD kDeadlineMs = 30000;

// The one wait for what the window does: runs this thread's messages, at least
// once, until `done`; false when that takes longer than the deadline.
inline bool PumpUntil(const std::function<bool()>& done) {
  const ULONGLONG deadline = GetTickCount64() + kDeadlineMs;
  for (MSG message{};; MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT)) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    if (done()) return true;
    if (GetTickCount64() >= deadline) return false;
  }
}

// Runs `work` on a thread of its own and waits for it, running no messages,
// so what it posts stays queued. A worker still busy at the deadline ends the
// test program: it may still touch what the test holds.
inline DWORD WINAPI RunWork(void* work) {
  return (*static_cast<std::function<void()>*>(work))(), 0;
}
inline void OnWorker(std::function<void()> work) {
  const HANDLE thread = CreateThread(nullptr, 0, RunWork, &work, 0, nullptr);
  if (thread == nullptr || WaitForSingleObject(thread, kDeadlineMs) != WAIT_OBJECT_0) {
    std::fputs("FAILED: a worker thread did not finish in time\n", stderr);
    ExitProcess(1);
  }
  CloseHandle(thread);
}
