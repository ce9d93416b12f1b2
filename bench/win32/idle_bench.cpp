// Idle cost under Windows: CPU time of this process over 10 s while
// Corvane's window reads "SIM", against the plain ten-control window with
// the focus in its first text box over the same 10 s. "SIM" shows a badge
// every 2 s; the same span reading COM5 (a pseudo-terminal that stays
// silent) shows what reading costs without them.
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "figure_table.h"
#include "module1.h"
#include "plain_window.h"
#include "tavrix_port_names.h"
#include "win32_benches.h"
#include "window_under_test.h"

namespace corvane::bench {
namespace {

constexpr std::chrono::seconds kIdleSpan{10};
constexpr std::chrono::milliseconds kSettle{500};
constexpr double kGoalRatio = 1.1;

double CpuOverIdleSpan() {
  const double before = ProcessCpuMs();
  PumpMessagesFor(kIdleSpan);
  return ProcessCpuMs() - before;
}

// CPU over the span while `window` reads `port`, focus where Start leaves it;
// a negative figure when it could not start reading.
double CpuWhileReading(const WindowUnderTest& window, const wchar_t* port) {
  if (!window.ChoosePort(port)) return -1;
  window.Click(L"btAttiva");
  PumpMessagesFor(kSettle);
  if (!window.Reading()) return -1;
  const double spent = CpuOverIdleSpan();
  window.Click(L"btDisattiva");
  return spent;
}

}  // namespace

bool RunIdleBench(HINSTANCE instance, const std::string& label) {
  const HWND plain = CreatePlainWindow(instance);
  ShowWindow(plain, SW_SHOWNORMAL);
  UpdateWindow(plain);
  SetFocus(GetDlgItem(plain, win32::kFirstControlId + static_cast<int>(layout::IndexOf(L"Text1"))));
  PumpMessagesFor(kSettle);
  const double floor = CpuOverIdleSpan();
  DestroyWindow(plain);
  // The plain window's end posts a quit message; it is not for the next one.
  MSG quit{};
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);

  WindowUnderTest window(instance, Module1::Instance());
  const double value = CpuWhileReading(window, tavrix::kSimPort.wide);
  const double silent = CpuWhileReading(window, L"COM5");
  // Wine's absolute figures, for the log only.
  std::fprintf(stderr, "%s idle: %.2f ms reading SIM, %.2f ms reading COM5, floor %.2f ms\n",
               label.c_str(), value, silent, floor);

  const bool met = window.Problems().empty() && value <= floor * kGoalRatio;
  PrintRow({label + ": idle CPU while reading SIM, 10 s, whole process", "-", "-",
            Ratio(value, floor), "<= 1.1x", met});
  PrintRow({"  same, reading COM5, where no badge comes", "-", "-", Ratio(silent, floor), "-",
            std::nullopt});
  if (!window.Problems().empty())
    std::fprintf(stderr, "%s idle: a message box came\n", label.c_str());
  return met;
}

}  // namespace corvane::bench
