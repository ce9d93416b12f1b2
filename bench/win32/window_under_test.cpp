#include "window_under_test.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>

#include "form1_layout.h"

namespace corvane::bench {
namespace {

using Clock = std::chrono::steady_clock;

// Runs one message, or waits up to `wait` ms for one.
void PumpOne(DWORD wait) {
  MSG message{};
  if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  } else {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
  }
}

double Ms(const FILETIME& time) {
  return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) |
                             time.dwLowDateTime) /
         1e4;
}

// This process's folder in Linux's /proc when running under Wine. Wine opens
// files in its server, for which /proc/self is the server itself, so the
// process is found by its command line, which Wine sets to the program's.
std::optional<std::filesystem::path> LinuxProcessFolder() {
  wchar_t path[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::string me = std::filesystem::path(path).filename().string();
  std::error_code error;
  for (const auto& process : std::filesystem::directory_iterator(L"Z:\\proc", error)) {
    std::ifstream commandLine(process.path() / "cmdline");
    std::string text;
    if (std::getline(commandLine, text, '\0') && text.ends_with(me)) return process.path();
  }
  return std::nullopt;
}

}  // namespace

WindowUnderTest::WindowUnderTest(HINSTANCE instance, ReaderLibrary& library)
    : m_frontEnd(instance), m_shell(m_frontEnd, library) {
  if (!m_shell.Open()) throw std::runtime_error("the window did not open");
  PumpMessagesFor(std::chrono::milliseconds(100));
}

WindowUnderTest::~WindowUnderTest() { m_shell.Close(0); }

HWND WindowUnderTest::Control(const wchar_t* name) const {
  return GetDlgItem(m_frontEnd.Window(),
                    win32::kFirstControlId + static_cast<int>(layout::IndexOf(name)));
}

bool WindowUnderTest::ChoosePort(const wchar_t* port) const {
  return SendMessageW(Control(L"cbCom"), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                      reinterpret_cast<LPARAM>(port)) != CB_ERR;
}

void WindowUnderTest::Click(const wchar_t* button) const {
  SendMessageW(Control(button), BM_CLICK, 0, 0);
}

bool WindowUnderTest::Reading() const { return IsWindowEnabled(Control(L"btDisattiva")) != FALSE; }

std::wstring WindowUnderTest::Text(const wchar_t* name) const {
  wchar_t text[256] = L"";
  GetWindowTextW(Control(name), text, 256);
  return text;
}

void PumpMessagesFor(std::chrono::milliseconds span) {
  const auto end = Clock::now() + span;
  // No polling here: the idle figures would count it.
  for (auto now = Clock::now(); now < end; now = Clock::now()) {
    PumpOne(static_cast<DWORD>(std::chrono::ceil<std::chrono::milliseconds>(end - now).count()));
  }
}

double ProcessCpuMs() {
  // Under Wine this process is a Linux process, and GetProcessTimes counts in
  // the kernel's 10 ms ticks, too coarse for seconds of idling; the kernel's
  // per-thread schedstat counts nanoseconds.
  if (const auto linux = LinuxProcessFolder()) {
    double onCpuMs = 0;
    for (const auto& thread : std::filesystem::directory_iterator(*linux / "task")) {
      std::ifstream schedstat(thread.path() / "schedstat");
      long long onCpu = 0;
      if (schedstat >> onCpu) onCpuMs += static_cast<double>(onCpu) / 1e6;
    }
    return onCpuMs;
  }
  FILETIME created{};
  FILETIME ended{};
  FILETIME kernel{};
  FILETIME user{};
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  return Ms(kernel) + Ms(user);
}

}  // namespace corvane::bench
