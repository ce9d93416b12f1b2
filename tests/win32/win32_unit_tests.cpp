// The Win32 front end's own parts, in process: the task dispatcher, the
// control adapters and the window's layout. Argument after GoogleTest's own:
// the DPI the screen was set to, if any.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "dpi_metrics.h"
#include "expected_layout.h"
#include "form1_layout.h"
#include "win32_controls.h"
#include "win32_front_end.h"
#include "win32_ui_dispatcher.h"

namespace corvane::win32 {
namespace {

// The DPI the screen was set to, from the command line.
int g_expectedDpi = USER_DEFAULT_SCREEN_DPI;

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

TEST(Win32, DispatcherRunsForeignTasksOnTheUiThreadInOrder) {
  Win32UiDispatcher dispatcher(GetModuleHandleW(nullptr));
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
  EXPECT_TRUE(PumpUntil([&] { return order.size() == 200; })) << "200 tasks from a worker all ran";
  EXPECT_TRUE(std::adjacent_find(order.begin(), order.end(), std::greater_equal<>()) ==
                  order.end() &&
              allOnUiThread)
      << "each once, in the order posted, on the UI thread";
  EXPECT_TRUE(dispatcher.IsUiThread() && !workerSawUiThread)
      << "IsUiThread tells the threads apart";
}

// A task the dispatcher will not run is freed at once, not leaked with what it holds.
TEST(Win32, DispatcherFreesWhatItWillNotRun) {
  const auto alive = std::make_shared<int>(0);
  bool ran = false;
  const auto task = [copy = alive, &ran] { ran = true; };
  for (const bool destroyWindow : {false, true}) {
    Win32UiDispatcher dispatcher(GetModuleHandleW(nullptr));
    destroyWindow ? (void)DestroyWindow(dispatcher.Window()) : (void)dispatcher.Shutdown();
    EXPECT_TRUE(!dispatcher.Post(task) && alive.use_count() == 2) << "a refused post is freed";
  }
  Win32UiDispatcher dispatcher(GetModuleHandleW(nullptr));
  std::thread([&] {
    for (int index = 0; index < 3; ++index) dispatcher.Post(task);
  }).join();
  EXPECT_TRUE(dispatcher.Shutdown() == 3 && alive.use_count() == 2)
      << "shutdown frees three queued";
  PumpUntil([] { return true; });
  EXPECT_TRUE(!ran) << "no refused or freed task ran";
}

TEST(Win32, ThrowingTaskDoesNotStopLaterTasks) {
  Win32UiDispatcher dispatcher(GetModuleHandleW(nullptr));
  bool laterRan = false;
  dispatcher.Post([] { throw std::runtime_error("no entry point TvxStop"); });
  dispatcher.Post([&] { laterRan = true; });
  EXPECT_TRUE(PumpUntil([&] { return laterRan; })) << "the task after a throwing one runs";
}

HWND ControlHandle(HWND window, const wchar_t* name) {
  return GetDlgItem(window, kFirstControlId + static_cast<int>(layout::IndexOf(name)));
}

TEST(Win32, ComboBoxKeepsEntriesAsGiven) {
  Win32FrontEnd window(GetModuleHandleW(nullptr), SW_SHOWNOACTIVATE);
  ComboBox& combo = window.Controls().Get<ComboBox>(L"cbCom");
  EXPECT_TRUE(combo.Count() == static_cast<int>(layout::kInitialPortEntries.size()) &&
              combo.Text().empty())
      << "the design-time entries, none selected";
  combo.Clear();
  const std::vector<std::wstring> entries = {L"SIM", L"", L"COM10", L"COM2", L"COM2", L"Porta è"};
  for (const auto& entry : entries) combo.Append(entry);
  std::vector<std::wstring> listed;
  for (int index = -1; index <= combo.Count(); ++index) listed.push_back(combo.EntryAt(index));
  EXPECT_TRUE(listed.front().empty() && listed.back().empty() &&
              std::equal(entries.begin(), entries.end(), listed.begin() + 1, listed.end() - 1))
      << "entries unsorted, empty and duplicate ones kept, non-ASCII intact, outside reads empty";
  combo.Select(5);
  const bool selected = combo.Text() == L"Porta è";
  combo.Select(-1);
  EXPECT_TRUE(selected && combo.Text().empty())
      << "the selected entry is the text, none reads empty";
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

TEST(Win32, WindowFollowsTheLayoutTable) {
  const int expectedDpi = g_expectedDpi;
  Win32FrontEnd window(GetModuleHandleW(nullptr), SW_SHOWNOACTIVATE);
  const HWND handle = window.Handle();
  const int dpi = static_cast<int>(WindowDpi(handle));
  RECT client{};
  GetClientRect(handle, &client);
  EXPECT_TRUE(dpi == expectedDpi &&
              client.right == layout::TwipsToPixels(layout::kClientWidth, dpi) &&
              client.bottom == layout::TwipsToPixels(layout::kClientHeight, dpi))
      << "client area 6450 x 2760 twips at " + std::to_string(expectedDpi) + " dpi";
  EXPECT_TRUE(!IsWindowVisible(handle)) << "the window waits hidden for Form_Load";
  const auto systemIcon = reinterpret_cast<ULONG_PTR>(LoadIconW(nullptr, IDI_APPLICATION));
  for (const int icon : {GCLP_HICON, GCLP_HICONSM}) {
    const ULONG_PTR shown = GetClassLongPtrW(handle, icon);
    EXPECT_TRUE(shown != 0 && shown != systemIcon) << "the program's own icon, big and small";
  }

  std::vector<std::size_t> rows, tabStops;  // of the table, in creation order
  bool allFontsSet = true;
  const HFONT font =
      reinterpret_cast<HFONT>(SendMessageW(GetWindow(handle, GW_CHILD), WM_GETFONT, 0, 0));
  for (HWND child = GetWindow(handle, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    const auto index = static_cast<std::size_t>(GetDlgCtrlID(child) - kFirstControlId);
    if (index >= layout::kControls.size()) break;
    rows.push_back(index);
    const layout::ControlRow& control = layout::kControls[index];
    RECT bounds{};
    GetWindowRect(child, &bounds);
    MapWindowPoints(nullptr, handle, reinterpret_cast<POINT*>(&bounds), 2);
    const bool placed = bounds.left == layout::TwipsToPixels(control.left, dpi) &&
                        bounds.top == layout::TwipsToPixels(control.top, dpi) &&
                        bounds.right - bounds.left == layout::TwipsToPixels(control.width, dpi);
    // A drop-down list's closed height comes from its font, not from the table.
    const bool sized = control.kind == layout::Kind::DropDownList ||
                       bounds.bottom - bounds.top == layout::TwipsToPixels(control.height, dpi);
    wchar_t text[64] = L"";
    GetWindowTextW(child, text, 64);
    const bool captioned =
        control.kind == layout::Kind::DropDownList || std::wstring(text) == control.caption;
    const bool enabled = (IsWindowEnabled(child) != FALSE) == control.enabled;
    const bool tabStop = (GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) != 0;
    if (tabStop) tabStops.push_back(index);
    const bool tabStopRight = tabStop == (control.kind != layout::Kind::Label);
    const bool fits = control.kind == layout::Kind::DropDownList ||
                      control.kind == layout::Kind::TextBox || CaptionFits(child, text);
    EXPECT_TRUE(placed && sized && captioned && enabled && tabStopRight && fits)
        << "control " + std::to_string(index) + " placed, set as the table says and" +
               " its caption on one line";
    allFontsSet = allFontsSet && font != nullptr &&
                  reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)) == font;
  }
  std::sort(rows.begin(), rows.end());
  EXPECT_TRUE(rows.size() == layout::kControls.size() &&
              std::adjacent_find(rows.begin(), rows.end()) == rows.end())
      << "ten controls, each with its row's ID";
  EXPECT_TRUE(std::is_sorted(tabStops.begin(), tabStops.end()))
      << "the focusable controls in tab order";
  // Windows names a control after the text just before it.
  for (const testing::ExpectedControl& control : testing::kExpectedControls) {
    if (control.label == nullptr) continue;
    const auto Handle = [&](const char* name) {
      return ControlHandle(handle, std::wstring(name, name + std::strlen(name)).c_str());
    };
    EXPECT_TRUE(GetWindow(Handle(control.label), GW_HWNDNEXT) == Handle(control.name))
        << std::string(control.label) + " is created right before " + control.name;
  }
  EXPECT_TRUE(allFontsSet) << "every control has the window's one font";
  const HWND combo = ControlHandle(handle, L"cbCom");
  EXPECT_TRUE((GetWindowLongW(combo, GWL_STYLE) & 3) == CBS_DROPDOWNLIST)
      << "cbCom takes picks only, no typing";
}

TEST(Win32, DisablingTheFocusedButtonMovesTheFocusOn) {
  Win32FrontEnd window(GetModuleHandleW(nullptr), SW_SHOWNOACTIVATE);
  window.Show();
  const HWND start = ControlHandle(window.Handle(), L"btAttiva");
  const HWND combo = ControlHandle(window.Handle(), L"cbCom");
  SetForegroundWindow(window.Handle());
  SetFocus(start);
  EXPECT_TRUE(GetFocus() == start) << "Start has the focus";
  window.Controls().Get<Button>(L"btAttiva").SetEnabled(false);
  EXPECT_TRUE(GetFocus() == combo) << "disabling Start hands the focus to the next tab stop";
  window.Controls().Get<ComboBox>(L"cbCom").SetEnabled(false);
  EXPECT_TRUE(GetFocus() == ControlHandle(window.Handle(), L"Text1"))
      << "and disabling that hands it on to Text1";
}

}  // namespace
}  // namespace corvane::win32

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc > 1) corvane::win32::g_expectedDpi = std::atoi(argv[1]);
  // DPI whatever the screen's.
  SetProcessDPIAware();
  return RUN_ALL_TESTS();
}
