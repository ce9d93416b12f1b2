// Drives the real Corvane.exe under Wine as an operator would; exits 0, 1 or CORVANE_TEST_SKIPPED.
//   corvane_window_driver PATH\TO\Corvane.exe [FOLDER it starts in] --gtest_filter=Scenario.NAME
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <optional>
#include <string>

#include "frames.h"
#include "pump_until.h"
#include "toolkit_front_end.h"

namespace {

std::wstring g_executable, g_folder;  // the folder with its final separator
constexpr const wchar_t* kForm = L"CorvaneForm1";
constexpr const wchar_t* kXdotool = L"Z:\\usr\\bin\\xdotool";

// A hung program fails the check instead of hanging the test.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;  // and 0 if the program does not answer
  SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
  return static_cast<LRESULT>(result);
}

std::wstring TextOf(HWND window) {
  wchar_t text[256] = L"";
  Send(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
  return text;
}

HWND TopLevelWindow(DWORD pid, const wchar_t* className) {
  for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, className, nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == pid && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

// The program's message box as "caption|text|", each button's caption and '|', "icon" if shown.
std::wstring MessageBoxOf(DWORD pid) {
  const HWND box = TopLevelWindow(pid, L"#32770");
  std::wstring text, buttons, icon;
  for (HWND child = GetWindow(box, GW_CHILD); box && child; child = GetWindow(child, GW_HWNDNEXT)) {
    // The box's template holds every button and an icon, those unused hidden or the icon empty.
    if (!IsWindowVisible(child)) continue;
    if (GetDlgCtrlID(child) == 0xFFFF) {  // the dialog manager's ID for a box's text
      text = TextOf(child);
    } else if (Send(child, WM_GETDLGCODE) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
      buttons += TextOf(child) + L"|";
    } else if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
               Send(child, STM_GETICON) > 0) {
      icon = L"icon";
    }
  }
  return box ? TextOf(box) + L"|" + text + L"|" + buttons + icon : L"";
}

// A Linux program, as Wine starts it, hands back no process and counts as ended.
struct Program {
  explicit Program(std::wstring commandLine, const wchar_t* folder = nullptr) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             folder, &startup, &info);
  }
  ~Program() {
    for (const HANDLE handle : {info.hThread, info.hProcess}) CloseHandle(handle);
  }
  bool Ended() const {
    return info.hProcess == nullptr || WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0;
  }
  long ExitCode() const {
    DWORD code = 0;
    const bool ended = PumpUntil([&] { return Ended(); });
    return ended && GetExitCodeProcess(info.hProcess, &code) ? static_cast<long>(code) : -1;
  }
  bool started = false;
  PROCESS_INFORMATION info{};
};

// Real input, as the X server gets it from a keyboard or a mouse; a test waits for what it does.
bool XTest(const std::wstring& arguments) {
  return Program(std::wstring(kXdotool) + L" " + arguments).started;
}

class Scenario : public ::testing::Test {
 protected:
  void SetUp() override { Launch(); }
  void TearDown() override {
    if (m_window && !m_program->Ended()) {
      PostMessageW(m_window, WM_CLOSE, 0, 0);
      EXPECT_EQ(m_program->ExitCode(), 0) << "closed";
    }
    if (!m_program->Ended()) TerminateProcess(m_program->info.hProcess, 99);
  }
  void Launch() {
    DeleteFileW(Log().c_str());  // what a library loaded in this run writes, and nothing older
    m_program.emplace(L"\"" + g_executable + L"\"", g_folder.c_str());
    ASSERT_TRUE(m_program->started) << "Corvane.exe did not start, error " << GetLastError();
  }

  DWORD Pid() const { return m_program->info.dwProcessId; }
  bool WindowShows() {
    PumpUntil([&] { return (m_window = TopLevelWindow(Pid(), kForm)) || m_program->Ended(); });
    return m_window != nullptr;
  }
  std::wstring MessageBoxShows() const {
    std::wstring box;
    PumpUntil([&] { return !(box = MessageBoxOf(Pid())).empty() || m_program->Ended(); });
    return box;
  }
  HWND Control(const wchar_t* name) const {
    return corvane::win32::ControlAt(m_window, corvane::layout::IndexOf(name));
  }
  std::wstring Text(const wchar_t* control) const { return TextOf(Control(control)); }
  bool StatusBecomes(const wchar_t* status) const {
    return PumpUntil([&] { return Text(L"Label5") == status; });
  }
  bool Enabled(const wchar_t* control) const { return IsWindowEnabled(Control(control)) != FALSE; }
  bool Idle(bool idle = true) const {
    return PumpUntil([&] {
      return Enabled(L"btAttiva") == idle && Enabled(L"cbCom") == idle &&
             Enabled(L"btDisattiva") != idle;
    });
  }
  // Posts a click only on an enabled button, as an operator can.
  bool Click(const wchar_t* button) const {
    return Enabled(button) && PostMessageW(Control(button), BM_CLICK, 0, 0);
  }
  // The list's own search, from the top, is blind to case: the pick is read back.
  bool SelectPort(const wchar_t* port) const {
    Send(Control(L"cbCom"), CB_SELECTSTRING, static_cast<WPARAM>(-1),
         reinterpret_cast<LPARAM>(port));
    return Text(L"cbCom") == port;
  }
  std::wstring PointAt(const wchar_t* control) const {
    RECT box{};
    GetWindowRect(Control(control), &box);
    return L"mousemove " + std::to_wstring((box.left + box.right) / 2) + L" " +
           std::to_wstring((box.top + box.bottom) / 2);
  }
  // The recording library's log, one called entry point a line, in the program's working folder.
  std::wstring Log() const { return g_folder + L"calls.log"; }
  int Count(const std::string& call) const {
    std::ifstream log(Log().c_str());
    int count = 0;
    for (std::string line; std::getline(log, line);) count += line == call;
    return count;
  }
  bool CallsBecome(const std::string& call, int count) const {
    return PumpUntil([&] { return Count(call) == count; });
  }

  std::optional<Program> m_program;
  HWND m_window = nullptr;
};

// Corvane reads COM5 from SERIALCOMM, joined to COM6, where the test plays the reader; COM7,
// which another program holds, gets a box and leaves the window idle.
TEST_F(Scenario, StartupAndSerialPorts) {
  ASSERT_TRUE(WindowShows());
  EXPECT_EQ(TextOf(m_window), L"Form1") << "the title the running program sets";
  const HANDLE port = CreateFileW(L"\\\\.\\COM6", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  if (port == INVALID_HANDLE_VALUE) GTEST_SKIP() << "no COM5/COM6 pair: it needs python3";
  ASSERT_TRUE(SelectPort(L"COM5") && Click(L"btAttiva") && Idle(false) && StatusBecomes(L"Attivo"));
  const std::string frame = corvane::testing::Frame("1200BC614E", "\r\n");
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(port, frame.data(), static_cast<DWORD>(frame.size()), &written, nullptr) &&
              written == frame.size() && StatusBecomes(L"Lettura OK"));
  EXPECT_EQ(Text(L"Text1") + L"|" + Text(L"Text2"), L"018|0012345678");
  ASSERT_TRUE(Click(L"btDisattiva") && Idle() && StatusBecomes(L"Disabilitato"));
  CloseHandle(port);
  ASSERT_TRUE(SelectPort(L"COM7") && Click(L"btAttiva"));
  EXPECT_EQ(MessageBoxShows(), L"Corvane|Porta seriale non utilizzabile|OK|");
  ASSERT_TRUE(PostMessageW(TopLevelWindow(Pid(), L"#32770"), WM_COMMAND, IDOK, 0) &&
              PumpUntil([&] { return MessageBoxOf(Pid()).empty(); }) && Idle());
}

// Also from a folder that holds a Tavrix.dll, which must not be loaded.
TEST_F(Scenario, MissingLibrary) {
  const std::wstring box = MessageBoxShows();
  EXPECT_EQ(GetFileAttributesW(Log().c_str()), INVALID_FILE_ATTRIBUTES)
      << "the working folder's Tavrix.dll was loaded";
  EXPECT_TRUE(box.starts_with(L"Corvane|") && box.find(L"Tavrix.dll") != std::wstring::npos &&
              box.ends_with(L"|OK|"))
      << "a box, captioned Corvane, that names Tavrix.dll, with only OK and no icon: " << box;
  EXPECT_EQ(TopLevelWindow(Pid(), kForm), nullptr) << "the window is never shown";
  PostMessageW(TopLevelWindow(Pid(), L"#32770"), WM_COMMAND, IDOK, 0);
  EXPECT_GT(m_program->ExitCode(), 0) << "OK ends the program, code non-zero";
}

// Two ends with no time to stop the reader: an error as the window closes shows no box to keep the
// program alive; the session's end closes the window before answering, as Windows then ends it.
TEST_F(Scenario, EndWhileReading) {
  for (const bool sessionEnds : {false, true}) {
    if (sessionEnds) Launch();
    ASSERT_TRUE(WindowShows() &&
                (sessionEnds ? Click(L"btAttiva") && CallsBecome("TvxStartCallBack", 1) &&
                                   Program(L"wineboot.exe --end-session").ExitCode() != -1
                             : SelectPort(L"CLOSE") && Click(L"btAttiva")))
        << sessionEnds;
    EXPECT_EQ(m_program->ExitCode(), 0) << sessionEnds << ": the program ends, no box in the way";
    EXPECT_EQ(Count("TvxGetLastError"), 0) << sessionEnds << ": no error was delivered";
    EXPECT_EQ(Count("TvxUninitialize"), 1) << sessionEnds;
    EXPECT_EQ(Count("TvxStop"), 0) << sessionEnds;
  }
}

// A double click on Start starts one reader; Stop, queued after it, shows both were handled.
// Posted as well: Wine picks a real click's window only as it takes the click from the queue, so
// only posting queues both before the first is handled. Then keys and clicks amid a storm.
TEST_F(Scenario, RealInput) {
  if (GetFileAttributesW(kXdotool) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "needs xdotool";
  ASSERT_TRUE(WindowShows() && InFront(m_window));
  ASSERT_TRUE(XTest(PointAt(L"btAttiva") + L" click --repeat 2 --delay 0 1 key alt+s") &&
              CallsBecome("TvxStop", 1) && Idle());
  EXPECT_EQ(Count("TvxStartCallBack"), 1) << "one Start for the real double click";
  for (const wchar_t* button : {L"btAttiva", L"btAttiva", L"btDisattiva"}) {
    PostMessageW(Control(button), BM_CLICK, 0, 0);
  }
  ASSERT_TRUE(CallsBecome("TvxStop", 2) && Idle());
  EXPECT_EQ(Count("TvxStartCallBack"), 2) << "one Start for the posted double click";
  ASSERT_TRUE(SelectPort(L"STORM"));
  const std::wstring stops[] = {L"key alt+s", PointAt(L"btDisattiva") + L" click 1", L"key alt+F4"};
  for (int round = 3; round <= 5; ++round) {
    ASSERT_TRUE(XTest(L"key alt+s") && CallsBecome("TvxStartCallBack", round) &&
                StatusBecomes(L"Lettura OK"));
    ASSERT_TRUE(XTest(stops[round - 3])) << stops[round - 3];
    ASSERT_TRUE(round == 5 ||
                (CallsBecome("TvxStop", round) && Idle() && StatusBecomes(L"Disabilitato")));
  }
  EXPECT_EQ(m_program->ExitCode(), 0) << "closed during the storm, the program ends cleanly";
  EXPECT_EQ(Count("TvxGetLastCardData after TvxStop"), 0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 2 && argc != 3) return 1;  // usage: see the top of this file
  g_executable = argv[1];
  g_folder = argc == 3 ? std::wstring(argv[2]) + L"\\"
                       : g_executable.substr(0, g_executable.find_last_of(L"\\/") + 1);
  const int failed = RUN_ALL_TESTS();
  const ::testing::UnitTest& run = *::testing::UnitTest::GetInstance();
  if (run.test_to_run_count() == 0) return 1;  // a filter that names no scenario checks nothing
  return run.skipped_test_count() > 0 ? CORVANE_TEST_SKIPPED : failed;
}
