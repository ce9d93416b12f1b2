// Brings work from any thread onto the UI thread: each task is posted as one
// message to a message-only window that the UI thread owns.
//
// Windows hands out posted messages before keyboard and mouse input and before
// painting, so a stream of tasks would keep the operator waiting at a window
// that shows nothing new. While input or painting waits, a task is held back
// instead, with those behind it, and a timer resumes them: its message comes
// only once input and painting are done.
//
// A task lives on the heap from Post until it has run; a post the system
// refuses frees it at once, and Shutdown frees every task still queued or
// held, so none leaks and none runs after the window's end.
#pragma once

#include <windows.h>

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "reader_callback.h"

namespace corvane::win32 {

class Win32UiDispatcher final : public UiDispatcher {
 public:
  // Create on the UI thread: that thread runs the tasks.
  explicit Win32UiDispatcher(HINSTANCE instance);
  ~Win32UiDispatcher() override;
  Win32UiDispatcher(const Win32UiDispatcher&) = delete;
  Win32UiDispatcher& operator=(const Win32UiDispatcher&) = delete;

  bool IsUiThread() const override;
  bool Post(std::function<void()> task) override;

  // Stops taking tasks and frees those still queued without running them.
  // Returns how many were freed. UI thread only; later calls do nothing.
  std::size_t Shutdown();

  // The window the tasks are posted to; tests break it on purpose.
  HWND Window() const { return m_window; }

 private:
  using Task = std::function<void()>;

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Runs the held tasks in order, until input or painting waits.
  void RunHeld();

  const DWORD m_uiThreadId = GetCurrentThreadId();
  HWND m_window = nullptr;
  std::mutex m_mutex;
  bool m_accepting = false;                  // guarded by m_mutex
  std::deque<std::unique_ptr<Task>> m_held;  // UI thread only
};

}  // namespace corvane::win32
