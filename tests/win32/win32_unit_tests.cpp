// The Win32 front end's dispatcher, control adapters, layout and focus. Argument: the screen's DPI.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "deadline.h"
#include "expected_layout.h"
#include "pump_until.h"
#include "toolkit_front_end.h"

namespace corvane::win32 {
namespace {

int g_expectedDpi = USER_DEFAULT_SCREEN_DPI;

// A task the dispatcher will not run is freed at once, not leaked with what it holds. One that
// throws stops none after it; as Windows hands out posted messages before input and painting,
// the dispatcher must hold tasks back while either waits.
TEST(Win32, DispatcherFreesWhatItWillNotRunAndRunsTasksInOrderLettingInputAndPaintingGoFirst) {
  const auto alive = std::make_shared<int>(0);
  const auto task = [copy = alive] { ADD_FAILURE() << "a refused or freed task ran"; };
  for (const bool destroyWindow : {false, true}) {
    Win32UiDispatcher dispatcher(GetModuleHandleW(nullptr));
    destroyWindow ? (void)DestroyWindow(dispatcher.Window()) : (void)dispatcher.Shutdown();
    EXPECT_TRUE(!dispatcher.Post(task) && alive.use_count() == 2) << "a refused post is freed";
  }
  Win32UiDispatcher dispatcher(GetModuleHandleW(nullptr));
  // The worker runs while this thread runs no messages, so what it posts stays queued.
  ASSERT_TRUE(testing::OnOtherThread([&] {
    for (int index = 0; index < 3; ++index) dispatcher.Post(task);
  }));
  EXPECT_TRUE(dispatcher.Shutdown() == 3 && alive.use_count() == 2) << "three queued, freed";

  Win32FrontEnd window(GetModuleHandleW(nullptr), SW_SHOW);
  window.Show();
  ASSERT_TRUE(InFront(window.Handle()));
  const auto waiting = [](UINT what) { return HIWORD(GetQueueStatus(what)) != 0; };
  constexpr int kTasks = 50;
  int ran = 0, ranBeforeThem = 0;
  bool keysQueued = false, workerSawUiThread = true;
  const DWORD uiThread = GetCurrentThreadId();
  ASSERT_TRUE(testing::OnOtherThread([&] {
    workerSawUiThread = window.Dispatcher()->IsUiThread();
    for (int index = 0; index < kTasks; ++index) {
      window.Dispatcher()->Post([&, index] {
        EXPECT_TRUE(index == ran && GetCurrentThreadId() == uiThread);
        if (ran++ == 0) {
          keybd_event(VK_SHIFT, 0, 0, 0);
          keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
          keysQueued = waiting(QS_KEY);
        } else if (waiting(QS_KEY | QS_PAINT)) {
          ++ranBeforeThem;
        }
        window.Controls().Text1.SetText(std::to_wstring(index));
        if (index == 10) throw std::runtime_error("no entry point TvxStop");
      });
    }
  }));
  EXPECT_TRUE(PumpUntil([&] { return ran == kTasks; })) << "every task ran";
  EXPECT_TRUE(keysQueued) << "the keys reached this thread";
  EXPECT_EQ(ranBeforeThem, 0) << "tasks ran while keys or painting waited";
  EXPECT_TRUE(window.Dispatcher()->IsUiThread() && !workerSawUiThread) << "IsUiThread";

  // From the window's WM_DESTROY on, what its dispatcher holds goes.
  ASSERT_TRUE(testing::OnOtherThread([&] { window.Dispatcher()->Post(task); }));
  window.Close();
  EXPECT_TRUE(!window.Dispatcher()->Post(task) && alive.use_count() == 2) << "freed on WM_DESTROY";
  PumpUntil([] { return true; });  // runs whatever is still queued, which must be nothing
}

// Against the window's design as typed, not the table the window is built from.
TEST(Win32, WindowFollowsItsDesignMovesTheFocusOnAndListsPortsAsGiven) {
  Win32FrontEnd window(GetModuleHandleW(nullptr), SW_SHOWNOACTIVATE);
  const HWND handle = window.Handle();
  const auto byName = [handle](std::string_view name) {  // by name as the design spells it
    return ControlAt(handle, layout::IndexOf(std::wstring(name.begin(), name.end())));
  };
  const int dpi = static_cast<int>(WindowDpi(handle));
  const auto pixels = [dpi](int twips) { return layout::TwipsToPixels(twips, dpi); };
  RECT client{};
  GetClientRect(handle, &client);
  EXPECT_EQ(dpi, g_expectedDpi);
  EXPECT_TRUE(client.right == pixels(testing::kExpectedClientWidth) &&
              client.bottom == pixels(testing::kExpectedClientHeight))
      << "client area 6450 x 2760 twips";
  const auto systemIcon = reinterpret_cast<ULONG_PTR>(LoadIconW(nullptr, IDI_APPLICATION));
  for (const int icon : {GCLP_HICON, GCLP_HICONSM}) {
    const ULONG_PTR shown = GetClassLongPtrW(handle, icon);
    EXPECT_TRUE(shown != 0 && shown != systemIcon) << "the program's own icon, big and small";
  }
  const LRESULT font = SendMessageW(GetWindow(handle, GW_CHILD), WM_GETFONT, 0, 0);
  EXPECT_NE(font, 0) << "the window has a font of its own";
  std::vector<HWND> tabOrder, tabStops;  // as the table lists them, and as Tab visits them
  for (const testing::ExpectedControl& control : testing::kExpectedControls) {
    SCOPED_TRACE(control.name);
    const HWND child = byName(control.name);
    const std::string_view name = control.name;
    const bool list = name == "cbCom";
    if (!name.starts_with("Label")) tabOrder.push_back(child);
    RECT box{};
    GetWindowRect(child, &box);
    MapWindowPoints(nullptr, handle, reinterpret_cast<POINT*>(&box), 2);
    // A drop-down list's closed height comes from its font, and it has no caption.
    EXPECT_TRUE(box.left == pixels(control.left) && box.top == pixels(control.top) &&
                box.right - box.left == pixels(control.width) &&
                (list || box.bottom - box.top == pixels(control.height)))
        << "placed";
    wchar_t text[64] = L"";
    GetWindowTextW(child, text, 64);
    RECT inside{}, needed{};  // DrawText takes '&' as the access key's marker, as the controls do
    GetClientRect(child, &inside);
    const HDC dc = GetDC(child);
    SelectObject(dc, reinterpret_cast<HFONT>(font));
    DrawTextW(dc, text, -1, &needed, DT_CALCRECT | DT_SINGLELINE);
    ReleaseDC(child, dc);
    EXPECT_TRUE(list || (text == std::wstring(control.caption) &&
                         (name.starts_with("Text") ||
                          (needed.right <= inside.right && needed.bottom <= inside.bottom))))
        << "captioned, on one line";
    EXPECT_EQ(IsWindowEnabled(child) != FALSE, control.enabled);
    EXPECT_EQ(SendMessageW(child, WM_GETFONT, 0, 0), font) << "the window's one font";
    // Windows names a control after the text just before it.
    EXPECT_TRUE(!control.label || GetWindow(byName(control.label), GW_HWNDNEXT) == child)
        << control.label << " is created right before it";
  }
  for (HWND child = GetWindow(handle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) tabStops.push_back(child);
  }
  EXPECT_EQ(tabStops, tabOrder) << "every control but the labels a tab stop, in order";
  EXPECT_EQ(GetWindowLongW(byName("cbCom"), GWL_STYLE) & 3, CBS_DROPDOWNLIST);

  // Disabling the control with the focus moves it on to the next tab stop.
  window.Show();
  ASSERT_TRUE(InFront(handle));
  EXPECT_EQ(GetFocus(), byName("btAttiva")) << "Start";
  window.Controls().btAttiva.SetEnabled(false);
  EXPECT_EQ(GetFocus(), byName("cbCom")) << "from Start";
  window.Controls().cbCom.SetEnabled(false);
  EXPECT_EQ(GetFocus(), byName("Text1")) << "from the list";

  ComboBox& combo = window.Controls().cbCom;
  combo.Clear();
  // Read from one before the first to one past the last, which read empty.
  const std::vector<std::wstring> entries = {L"",     L"SIM",  L"",        L"COM10",
                                             L"COM2", L"COM2", L"Porta è", L""};
  for (std::size_t entry = 1; entry + 1 < entries.size(); ++entry) combo.Append(entries[entry]);
  std::vector<std::wstring> listed;
  for (int index = -1; index <= combo.Count(); ++index) listed.push_back(combo.EntryAt(index));
  EXPECT_EQ(listed, entries) << "entries unsorted, empty and duplicate ones kept, non-ASCII intact";
  combo.Select(5);
  EXPECT_EQ(combo.Text(), L"Porta è") << "the selected entry is the text";
  combo.Select(-1);
  EXPECT_EQ(combo.Text(), L"") << "with none selected, the text is empty";
}

}  // namespace
}  // namespace corvane::win32

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc > 1) corvane::win32::g_expectedDpi = std::stoi(argv[1]);
  SetProcessDPIAware();  // the screen's DPI, not 96 scaled
  return RUN_ALL_TESTS();
}
