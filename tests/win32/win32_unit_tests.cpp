// The Win32 front end's own parts, in process: the task dispatcher, the
// control adapters, the window's layout and the fatal-failure report. Plain
// C++, no test framework; argument: the DPI the screen was set to, if any.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "main_window/form1_layout.h"
#include "main_window/win32/dpi_metrics.h"
#include "main_window/win32/fatal_failure.h"
#include "main_window/win32/main_window.h"
#include "main_window/win32/posted_task_dispatcher.h"
#include "main_window/win32/win32_controls.h"
#include "reader_binding/library_loader.h"

namespace corvane::win32 {
namespace {

int g_failures = 0;

void Check(bool holds, const std::string& what) {
  std::printf("%s: %s\n", holds ? "ok" : "FAIL", what.c_str());
  if (!holds) ++g_failures;
}

// Runs the thread's messages until `done` or the deadline.
bool PumpUntil(const std::function<bool()>& done, DWORD seconds = 30) {
  const ULONGLONG deadline = GetTickCount64() + seconds * 1000ULL;
  MSG message{};
  while (!done()) {
    if (GetTickCount64() >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  return true;
}

void DispatcherRunsForeignTasksOnTheUiThreadInOrder() {
  PostedTaskDispatcher dispatcher(GetModuleHandleW(nullptr), nullptr);
  const DWORD uiThread = GetCurrentThreadId();
  std::vector<int> order;
  bool allOnUiThread = true;
  bool workerSawUiThread = true;
  std::thread worker([&] {
    workerSawUiThread = dispatcher.IsUiThread();
    for (int index = 0; index < 200; ++index) {
      dispatcher.Post([&, index] {
        allOnUiThread = allOnUiThread && GetCurrentThreadId() == uiThread;
        order.push_back(index);
      });
    }
  });
  worker.join();
  Check(PumpUntil([&] { return order.size() == 200; }), "200 tasks from a worker all ran");
  Check(std::adjacent_find(order.begin(), order.end(), std::greater_equal<>()) == order.end() &&
            allOnUiThread,
        "each once, in the order posted, on the UI thread");
  Check(dispatcher.IsUiThread() && !workerSawUiThread, "IsUiThread tells the threads apart");
}

// A task the dispatcher will not run is freed at once, not leaked with what it holds.
void DispatcherFreesWhatItWillNotRun() {
  const auto alive = std::make_shared<int>(0);
  bool ran = false;
  const auto task = [copy = alive, &ran] { ran = true; };
  for (const bool destroyWindow : {false, true}) {
    PostedTaskDispatcher dispatcher(GetModuleHandleW(nullptr), nullptr);
    destroyWindow ? (void)DestroyWindow(dispatcher.Window()) : (void)dispatcher.Shutdown();
    Check(!dispatcher.Post(task) && alive.use_count() == 2, "a refused post is freed");
  }
  PostedTaskDispatcher dispatcher(GetModuleHandleW(nullptr), nullptr);
  std::thread([&] {
    for (int index = 0; index < 3; ++index) dispatcher.Post(task);
  }).join();
  Check(dispatcher.Shutdown() == 3 && alive.use_count() == 2, "shutdown frees three queued");
  PumpUntil([] { return true; });
  Check(!ran, "no refused or freed task ran");
}

void ThrowingTaskReachesTheSinkAndLaterTasksRun() {
  std::exception_ptr caught;
  PostedTaskDispatcher dispatcher(GetModuleHandleW(nullptr),
                                  [&](std::exception_ptr failure) { caught = failure; });
  bool laterRan = false;
  dispatcher.Post([] { throw ReaderLibraryMissing("no entry point TvxStop"); });
  dispatcher.Post([&] { laterRan = true; });
  Check(PumpUntil([&] { return laterRan; }), "the task after a throwing one runs");
  FatalFailure fatal;
  fatal.Capture(caught);
  Check(fatal.ExitCode() == kExitReaderLibraryMissing, "the sink got the missing entry point");
}

void FatalFailureNamesWhatIsMissing() {
  struct Case {
    std::exception_ptr failure;
    int exitCode;
    const wchar_t* mentioned;
  };
  const Case cases[] = {
      {nullptr, 0, L""},
      {std::make_exception_ptr(ReaderLibraryMissing("Cannot load Tavrix.dll")),
       kExitReaderLibraryMissing, L"Tavrix.dll"},
      {std::make_exception_ptr(ReaderLibraryMissing("no entry point TvxGetLastCardData")),
       kExitReaderLibraryMissing, L"TvxGetLastCardData"},
      {std::make_exception_ptr(std::runtime_error("disk on fire")), kExitUnexpectedFailure,
       L"disk on fire"},
      {std::make_exception_ptr(42), kExitUnexpectedFailure, L""},
  };
  for (const Case& testCase : cases) {
    FatalFailure fatal;
    fatal.Capture(testCase.failure);
    // The first failure is the one reported.
    if (testCase.failure) fatal.Capture(std::make_exception_ptr(std::runtime_error("later")));
    const std::wstring description = fatal.Description();
    Check(fatal.ExitCode() == testCase.exitCode &&
              description.find(testCase.mentioned) != std::wstring::npos &&
              description.find(L"later") == std::wstring::npos,
          "fatal failure case with exit code " + std::to_string(testCase.exitCode));
  }
}

void ComboBoxKeepsEntriesAsGiven() {
  MainWindow window(GetModuleHandleW(nullptr), nullptr);
  ComboBox& combo = window.Controls().cbCom;
  Check(combo.ListCount() == static_cast<int>(layout::kInitialPortEntries.size()) &&
            combo.Text().empty(),
        "the design-time entries, none selected");
  combo.Clear();
  const std::vector<std::wstring> entries = {L"SIM", L"", L"COM10", L"COM2", L"COM2", L"Porta è"};
  for (const auto& entry : entries) combo.AddItem(entry);
  std::vector<std::wstring> listed;
  for (int index = -1; index <= combo.ListCount(); ++index) listed.push_back(combo.List(index));
  Check(listed.front().empty() && listed.back().empty() &&
            std::equal(entries.begin(), entries.end(), listed.begin() + 1, listed.end() - 1),
        "entries unsorted, empty and duplicate ones kept, non-ASCII intact, outside reads empty");
  combo.SetListIndex(5);
  const bool selected = combo.Text() == L"Porta è";
  combo.SetListIndex(-1);
  Check(selected && combo.Text().empty(), "the selected entry is the text, none reads empty");
}

// Whether the control's caption, '&' markers removed, fits its client area on
// one line in the control's own font.
bool CaptionFits(HWND control, std::wstring caption) {
  caption.erase(std::remove(caption.begin(), caption.end(), L'&'), caption.end());
  RECT inside{};
  GetClientRect(control, &inside);
  const HDC dc = GetDC(control);
  SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE extent{};
  GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
  ReleaseDC(control, dc);
  std::printf("\"%ls\": %ldx%ld px in %ldx%ld\n", caption.c_str(), extent.cx, extent.cy,
              inside.right, inside.bottom);
  return extent.cx <= inside.right && extent.cy <= inside.bottom;
}

void WindowFollowsTheLayoutTable(UINT expectedDpi) {
  MainWindow window(GetModuleHandleW(nullptr), nullptr);
  const HWND handle = window.Handle();
  const UINT dpi = WindowDpi(handle);
  RECT client{};
  GetClientRect(handle, &client);
  Check(dpi == expectedDpi && client.right == TwipsToPixels(layout::kClientWidth, dpi) &&
            client.bottom == TwipsToPixels(layout::kClientHeight, dpi),
        "client area 6450 x 2760 twips at " + std::to_string(expectedDpi) + " dpi");
  Check(!IsWindowVisible(handle), "the window waits hidden for Form_Load");

  std::size_t index = 0;
  bool allFontsSet = true;
  const HFONT font =
      reinterpret_cast<HFONT>(SendMessageW(GetWindow(handle, GW_CHILD), WM_GETFONT, 0, 0));
  for (HWND child = GetWindow(handle, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT), ++index) {
    if (index >= layout::kControls.size()) break;
    const layout::Control& control = layout::kControls[index];
    RECT bounds{};
    GetWindowRect(child, &bounds);
    MapWindowPoints(nullptr, handle, reinterpret_cast<POINT*>(&bounds), 2);
    const bool placed = bounds.left == TwipsToPixels(control.left, dpi) &&
                        bounds.top == TwipsToPixels(control.top, dpi) &&
                        bounds.right - bounds.left == TwipsToPixels(control.width, dpi);
    // A drop-down list's closed height comes from its font, not from the table.
    const bool sized = control.kind == layout::Kind::DropDownList ||
                       bounds.bottom - bounds.top == TwipsToPixels(control.height, dpi);
    const bool idMatches =
        GetDlgCtrlID(child) == MainWindow::kFirstControlId + static_cast<int>(index);
    wchar_t text[64] = L"";
    GetWindowTextW(child, text, 64);
    const bool captioned =
        control.kind == layout::Kind::DropDownList || std::wstring(text) == control.caption;
    const bool enabled = (IsWindowEnabled(child) != FALSE) == control.enabled;
    const bool tabStop = (GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) != 0;
    const bool tabStopRight = tabStop == (control.kind != layout::Kind::Label);
    const bool fits = control.kind == layout::Kind::DropDownList ||
                      control.kind == layout::Kind::TextBox || CaptionFits(child, text);
    Check(placed && sized && idMatches && captioned && enabled && tabStopRight && fits,
          "control " + std::to_string(index) + " in tab order, placed, set as the table says and" +
              " its caption on one line");
    allFontsSet = allFontsSet && font != nullptr &&
                  reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)) == font;
  }
  Check(index == layout::kControls.size(), "ten controls");
  Check(allFontsSet, "every control has the window's one font");
  const HWND combo = GetDlgItem(handle, MainWindow::kFirstControlId + 2);
  Check((GetWindowLongW(combo, GWL_STYLE) & 3) == CBS_DROPDOWNLIST,
        "cbCom takes picks only, no typing");
}

void DisablingTheFocusedButtonMovesTheFocusOn() {
  MainWindow window(GetModuleHandleW(nullptr), nullptr);
  window.Show(SW_SHOWNOACTIVATE);
  const HWND start = GetDlgItem(window.Handle(), MainWindow::kFirstControlId + 1);
  const HWND combo = GetDlgItem(window.Handle(), MainWindow::kFirstControlId + 2);
  SetForegroundWindow(window.Handle());
  SetFocus(start);
  Check(GetFocus() == start, "Start has the focus");
  window.Controls().btAttiva.SetEnabled(false);
  Check(GetFocus() == combo, "disabling Start hands the focus to the next tab stop");
  window.Controls().cbCom.SetEnabled(false);
  Check(GetFocus() == GetDlgItem(window.Handle(), MainWindow::kFirstControlId + 7),
        "and disabling that hands it on to Text1");
}

}  // namespace
}  // namespace corvane::win32

int main(int argc, char** argv) {
  using namespace corvane::win32;
  // As Corvane.exe's manifest does; otherwise the system hands the window 96
  // DPI whatever the screen's.
  SetProcessDPIAware();
  DispatcherRunsForeignTasksOnTheUiThreadInOrder();
  DispatcherFreesWhatItWillNotRun();
  ThrowingTaskReachesTheSinkAndLaterTasksRun();
  FatalFailureNamesWhatIsMissing();
  ComboBoxKeepsEntriesAsGiven();
  WindowFollowsTheLayoutTable(argc > 1 ? static_cast<UINT>(std::atoi(argv[1])) : kDefaultDpi);
  DisablingTheFocusedButtonMovesTheFocusOn();
  std::printf("%s\n", g_failures == 0 ? "PASSED" : "FAILED");
  return g_failures == 0 ? 0 : 1;
}
