#include "ui_dispatcher.h"

#include <memory>
#include <utility>

namespace corvane::win32 {
namespace {

constexpr const wchar_t* kWindowClass = L"CorvaneTaskWindow";
constexpr UINT kRunTask = WM_APP + 1;
constexpr UINT_PTR kResumeTimer = 1;

// The operator's keys and clicks, and the painting that shows what the last
// task changed. GetQueueStatus also brings in what the window system has for
// this thread, so input still on its way counts too.
bool OperatorWaits() { return HIWORD(GetQueueStatus(QS_KEY | QS_MOUSE | QS_PAINT)) != 0; }

void RegisterWindowClass(HINSTANCE instance, WNDPROC windowProc) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kWindowClass;
  // A second dispatcher in the same process finds the class registered.
  RegisterClassExW(&windowClass);
}

}  // namespace

Win32UiDispatcher::Win32UiDispatcher(HINSTANCE instance) {
  RegisterWindowClass(instance, &Win32UiDispatcher::WindowProc);
  m_window =
      CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
  m_accepting = m_window != nullptr;
}

Win32UiDispatcher::~Win32UiDispatcher() { Shutdown(); }

bool Win32UiDispatcher::IsUiThread() const { return GetCurrentThreadId() == m_uiThreadId; }

bool Win32UiDispatcher::Post(std::function<void()> task) {
  auto queued = std::make_unique<Task>(std::move(task));
  // Held across PostMessage, so that Shutdown, once it has the lock, knows
  // every accepted task is already in the queue it drains.
  std::lock_guard lock(m_mutex);
  if (!m_accepting) return false;
  if (PostMessageW(m_window, kRunTask, 0, reinterpret_cast<LPARAM>(queued.get())) == FALSE) {
    return false;
  }
  queued.release();  // the message owns it now
  return true;
}

std::size_t Win32UiDispatcher::Shutdown() {
  {
    std::lock_guard lock(m_mutex);
    if (m_window == nullptr) return 0;
    m_accepting = false;
  }
  std::size_t freed = m_held.size();
  m_held.clear();
  KillTimer(m_window, kResumeTimer);
  MSG message{};
  while (PeekMessageW(&message, m_window, kRunTask, kRunTask, PM_REMOVE) != FALSE) {
    delete reinterpret_cast<Task*>(message.lParam);
    ++freed;
  }
  DestroyWindow(m_window);
  m_window = nullptr;
  return freed;
}

void Win32UiDispatcher::RunHeld() {
  KillTimer(m_window, kResumeTimer);
  while (!m_held.empty()) {
    if (OperatorWaits()) {
      SetTimer(m_window, kResumeTimer, USER_TIMER_MINIMUM, nullptr);
      return;
    }
    // Taken off first: a task that opens a modal box runs the next ones from
    // its own loop.
    const std::unique_ptr<Task> task = std::move(m_held.front());
    m_held.pop_front();
    try {
      (*task)();
    } catch (...) {
      // Nothing may unwind out of a window procedure; a task reports its own
      // failures.
    }
  }
}

LRESULT CALLBACK Win32UiDispatcher::WindowProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
  } else if (message == kRunTask || (message == WM_TIMER && wParam == kResumeTimer)) {
    std::unique_ptr<Task> task(message == kRunTask ? reinterpret_cast<Task*>(lParam) : nullptr);
    auto* dispatcher =
        reinterpret_cast<Win32UiDispatcher*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (dispatcher != nullptr) {
      // Behind those already held, so that tasks keep their order.
      if (task != nullptr) dispatcher->m_held.push_back(std::move(task));
      dispatcher->RunHeld();
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace corvane::win32
