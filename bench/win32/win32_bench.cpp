// corvane_win32_bench startup|idle LABEL: figures of the Windows program under Wine
// beside their floors, as ratios: Wine's times say nothing of Windows'.
//   startup  CreateProcess to the window shown and answering, against the plain one
//   idle     CPU over 5 s of reading COM5, where no badge comes, against the front end's
//            window alone with the focus in Text1; SIM, a badge every 2 s, for the record
#include <windows.h>

#include <stdexcept>

#include "measure.h"
#include "module1.h"
#include "program_shell.h"
#include "recording_front_end.h"
#include "tavrix_port_names.h"
#include "toolkit_front_end.h"

namespace {

using namespace corvane;
using namespace corvane::bench;
using Clock = std::chrono::steady_clock;

std::filesystem::path Me() {
  wchar_t path[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

double MsToWindow(const std::filesystem::path& program) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring commandLine = L"\"" + program.wstring() + L"\"";
  const auto started = Clock::now();
  if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     nullptr, &startup, &process) == FALSE) {
    throw std::runtime_error("cannot start " + program.string());
  }
  // One program at a time runs, so the caption finds its window.
  HWND window = nullptr;
  while (window == nullptr || IsWindowVisible(window) == FALSE) {
    if (WaitForSingleObject(process.hProcess, 1) != WAIT_TIMEOUT) throw std::runtime_error("ended");
    window = FindWindowW(nullptr, layout::kWindowCaption);
  }
  SendMessageW(window, WM_NULL, 0, 0);
  const auto shown = Clock::now();
  // As the operator closes it, so that the next start finds Wine as this one did.
  PostMessageW(window, WM_CLOSE, 0, 0);
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return std::chrono::duration<double, std::milli>(shown - started).count();
}

bool Startup(const std::string& label) {
  const auto [value, floor] = MediansInTurns(
      20, [] { return MsToWindow(Me().replace_filename("Corvane.exe")); },
      [] { return MsToWindow(Me().replace_filename("bench_plain_win32.exe")); });
  return Print(label + ": start-up to window shown, median of 20", "-", "-", Ratio(value, floor),
               "<= 1.05x", value <= floor * 1.05);
}

// This process in Linux's /proc, found by the command line Wine gives it: Wine
// opens files in its server, for which /proc/self is the server.
std::filesystem::path LinuxProcess() {
  const std::string me = Me().filename().string();
  for (const auto& process : std::filesystem::directory_iterator(L"Z:\\proc")) {
    std::ifstream commandLine(process.path() / "cmdline");
    std::string text;
    if (std::getline(commandLine, text, '\0') && text.ends_with(me)) return process.path();
  }
  throw std::runtime_error("no Linux process: not under Wine?");
}

// CPU of the whole process while `frontEnd` runs its own loop for `span`. A
// window closed before posted its loop's end, which is not for this loop.
double CpuOverLoop(FrontEnd& frontEnd, std::chrono::milliseconds span) {
  static const std::filesystem::path me = LinuxProcess();
  MSG quit{};
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  const UINT_PTR timer = SetTimer(nullptr, 0, static_cast<UINT>(span.count()),
                                  [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); });
  const double before = CpuMs(me);
  frontEnd.RunLoop();
  KillTimer(nullptr, timer);
  return CpuMs(me) - before;
}

constexpr std::chrono::seconds kSpan{5};
constexpr std::chrono::milliseconds kSettle{500};  // start-up work is not idling

HWND Control(HWND window, const wchar_t* name) {
  return GetDlgItem(window, win32::kFirstControlId + static_cast<int>(layout::IndexOf(name)));
}

double FloorMs(HINSTANCE instance) {
  win32::Win32FrontEnd plain(instance, SW_SHOWNORMAL);
  plain.Show();
  SetFocus(Control(GetActiveWindow(), L"Text1"));
  CpuOverLoop(plain, kSettle);
  return CpuOverLoop(plain, kSpan);
}

double ReadingMs(HINSTANCE instance, const wchar_t* port) {
  testing::RecordingFrontEnd<win32::Win32FrontEnd> frontEnd(instance, SW_SHOWNORMAL);
  ProgramShell shell(frontEnd, Module1::Instance());
  const HWND window = frontEnd.Wrapped().Handle();
  shell.Open();
  SendMessageW(Control(window, L"cbCom"), CB_SELECTSTRING, static_cast<WPARAM>(-1),
               reinterpret_cast<LPARAM>(port));
  SendMessageW(Control(window, L"btAttiva"), BM_CLICK, 0, 0);
  CpuOverLoop(frontEnd, kSettle);
  if (IsWindowEnabled(Control(window, L"btDisattiva")) == FALSE ||
      !frontEnd.messages.texts.empty()) {
    throw std::runtime_error("reading did not start, or a message box came");
  }
  return CpuOverLoop(frontEnd, kSpan);
}

bool Idle(HINSTANCE instance, const std::string& label) {
  const auto [silent, floor] = MediansInTurns(
      6, [&] { return ReadingMs(instance, L"COM5"); }, [&] { return FloorMs(instance); });
  const double sim = ReadingMs(instance, tavrix::kSimPort.wide);
  return Print(label + ": idle CPU while reading COM5, where no badge comes, median of 6 x 5 s",
               "-", "-", Ratio(silent, floor), "<= 1.1x", silent <= floor * 1.1) &
         Print("  same, reading SIM, a badge every 2 s", "-", "-", Ratio(sim, floor), "-", {});
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::string figure = argc == 3 ? argv[1] : "";
  if (figure == "startup") return Startup(argv[2]) ? kGoalsMet : kGoalMissed;
  if (figure == "idle") return Idle(GetModuleHandleW(nullptr), argv[2]) ? kGoalsMet : kGoalMissed;
  std::fprintf(stderr, "usage: %s startup|idle LABEL\n", argv[0]);
  return kBroken;
}
