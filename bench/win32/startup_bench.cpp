// Start-up under Windows: from just before CreateProcess to the moment the
// new process, its window visible, answers a message, which it does from its
// message loop once the window has painted; for Corvane.exe and for the plain
// ten-control program beside it, taken in turns.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "figure_table.h"
#include "sample_stats.h"
#include "win32_benches.h"

namespace corvane::bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRunsEach = 20;
constexpr double kGoalRatio = 1.05;
constexpr DWORD kPatienceMs = 60000;

std::wstring BesideMe(const wchar_t* program) {
  wchar_t path[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L"\\/") + 1) + program;
}

struct Found {
  DWORD pid;
  HWND window;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM lParam) {
  auto* found = reinterpret_cast<Found*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != found->pid || IsWindowVisible(window) == FALSE) return TRUE;
  found->window = window;
  return FALSE;
}

// Milliseconds until `program` answers from its message loop with a visible
// window; then closes it as the operator would.
double TimeToWindow(const std::wstring& program) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring commandLine = L"\"" + program + L"\"";
  const auto started = Clock::now();
  if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     nullptr, &startup, &process) == FALSE) {
    throw std::runtime_error("cannot start a program");
  }
  Found found{process.dwProcessId, nullptr};
  DWORD_PTR answer = 0;
  const auto deadline = started + std::chrono::milliseconds(kPatienceMs);
  while (found.window == nullptr && Clock::now() < deadline &&
         WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT) {
    EnumWindows(&FindVisibleWindow, reinterpret_cast<LPARAM>(&found));
  }
  const bool answered =
      found.window != nullptr &&
      SendMessageTimeoutW(found.window, WM_NULL, 0, 0, SMTO_NORMAL, kPatienceMs, &answer) != 0;
  const auto shown = Clock::now();
  if (found.window != nullptr) PostMessageW(found.window, WM_CLOSE, 0, 0);
  const bool ended = WaitForSingleObject(process.hProcess, kPatienceMs) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (!answered || !ended) {
    throw std::runtime_error("a program showed no window, or did not close");
  }
  return std::chrono::duration<double, std::milli>(shown - started).count();
}

}  // namespace

bool RunStartupBench(const std::string& label) {
  const std::wstring program = BesideMe(L"Corvane.exe");
  const std::wstring floorProgram = BesideMe(L"bench_plain_win32.exe");
  TimeToWindow(program);
  TimeToWindow(floorProgram);
  std::vector<double> programTimes;
  std::vector<double> floorTimes;
  for (int run = 0; run < kRunsEach; ++run) {
    programTimes.push_back(TimeToWindow(program));
    floorTimes.push_back(TimeToWindow(floorProgram));
  }
  const double value = Median(programTimes);
  const double floor = Median(floorTimes);
  // Wine's absolute figures, for the log only.
  std::fprintf(stderr, "%s start-up: %.1f ms, floor %.1f ms\n", label.c_str(), value, floor);
  const bool met = value <= floor * kGoalRatio;
  PrintRow({label + ": start-up to window shown, median of " + std::to_string(kRunsEach), "-", "-",
            Ratio(value, floor), "<= 1.05x", met});
  return met;
}

}  // namespace corvane::bench
