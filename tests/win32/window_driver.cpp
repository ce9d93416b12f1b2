// Drives the real Corvane.exe under Wine as an operator would, by what is on
// screen and through messages the system carries across processes; one
// scenario per run:  corvane_window_driver SCENARIO PATH\TO\Corvane.exe
// Exit code 0: passed; 1: failed; 77: skipped (what it needs is missing).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "form1_layout.h"
#include "win32_front_end.h"

namespace {

namespace layout = corvane::layout;
using corvane::win32::kFirstControlId;

constexpr int kSkipped = 77;
constexpr const wchar_t* kWindowClass = L"CorvaneForm1";
constexpr const wchar_t* kReaderPort = L"COM5";        // Corvane reads here
constexpr const wchar_t* kBadgePort = L"\\\\.\\COM6";  // the test plays the reader here
// The dialog manager gives a message box's text this ID.
constexpr int kMessageBoxTextId = 0xFFFF;
// Form1's controls by dialog ID, from 100 on.
// The controls the scenarios drive, by their rows of the layout table.
using Control = std::size_t;
constexpr Control btDisattiva = layout::IndexOf(L"btDisattiva");
constexpr Control btAttiva = layout::IndexOf(L"btAttiva");
constexpr Control cbCom = layout::IndexOf(L"cbCom");
constexpr Control Label5 = layout::IndexOf(L"Label5");
constexpr Control Text1 = layout::IndexOf(L"Text1");
constexpr Control Text2 = layout::IndexOf(L"Text2");

bool WaitUntil(const std::function<bool()>& condition) {
  const ULONGLONG deadline = GetTickCount64() + 30000;
  while (!condition()) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(20);
  }
  return true;
}

// A hung program fails the check instead of hanging the test.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result)) {
    return -1;
  }
  return static_cast<LRESULT>(result);
}

// Every text these scenarios look for is short: a longer one reads cut, and
// then as different.
std::wstring TextOf(HWND window) {
  wchar_t text[256] = L"";
  Send(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
  return text;
}

// The list's own exact search, blind to case: SelectPort reads the pick back.
int ComboIndexOf(HWND combo, const wchar_t* entry) {
  return static_cast<int>(
      Send(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(entry)));
}

// Visible top-level windows of process `pid` with class `className`.
std::vector<HWND> TopLevelWindows(DWORD pid, const wchar_t* className) {
  std::vector<HWND> found;
  for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, className, nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == pid && IsWindowVisible(window)) found.push_back(window);
  }
  return found;
}

// Posts a click only on an enabled button, as an operator can.
bool ClickButton(HWND button) {
  return IsWindowEnabled(button) && PostMessageW(button, BM_CLICK, 0, 0);
}

struct MessageBoxSeen {
  HWND window = nullptr;
  std::wstring caption;
  std::wstring text;
  std::vector<std::wstring> buttons;
  bool hasIcon = false;
};

bool FindMessageBox(DWORD pid, MessageBoxSeen& seen) {
  const std::vector<HWND> boxes = TopLevelWindows(pid, L"#32770");
  if (boxes.empty()) return false;
  seen = MessageBoxSeen{};
  seen.window = boxes.front();
  seen.caption = TextOf(seen.window);
  for (HWND child = GetWindow(seen.window, GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    // The box's template holds every kind of button and an icon; the ones
    // this box does not use stay hidden.
    if (!IsWindowVisible(child)) continue;
    wchar_t className[16] = L"";
    GetClassNameW(child, className, 16);
    if (GetDlgCtrlID(child) == kMessageBoxTextId) {
      seen.text = TextOf(child);
    } else if (std::wstring(className) == L"Button") {
      seen.buttons.push_back(TextOf(child));
    } else if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      // Some systems keep an empty icon control in every box.
      seen.hasIcon = seen.hasIcon || Send(child, STM_GETICON) > 0;
    }
  }
  return true;
}

// One running Corvane.exe and, once it shows, its window's controls.
class Program {
 public:
  // Started in its own folder, as from a shortcut.
  explicit Program(const std::wstring& path)
      : m_folder(path.substr(0, path.find_last_of(L"\\/") + 1)) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + path + L"\"";
    m_started = CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                               nullptr, m_folder.c_str(), &startup, &m_process);
  }
  ~Program() {
    if (!m_started) return;
    if (!Ended()) TerminateProcess(m_process.hProcess, 99);
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
  }

  bool Started() const { return m_started; }
  const std::wstring& Folder() const { return m_folder; }
  DWORD Pid() const { return m_process.dwProcessId; }
  bool Ended() const { return WaitForSingleObject(m_process.hProcess, 0) == WAIT_OBJECT_0; }
  HWND operator[](Control control) const {
    return GetDlgItem(m_window, kFirstControlId + static_cast<int>(control));
  }

  bool WaitForWindow() {
    WaitUntil([&] {
      const auto windows = TopLevelWindows(Pid(), kWindowClass);
      m_window = windows.empty() ? nullptr : windows.front();
      return m_window != nullptr || Ended();
    });
    EXPECT_TRUE(m_window != nullptr) << "the window appears";
    return m_window != nullptr;
  }
  HWND Window() const { return m_window; }

  // Waits for the end; returns the exit code, or -1 if it did not end.
  long WaitForExit() {
    DWORD code = 0;
    if (!WaitUntil([&] { return Ended(); })) return -1;
    GetExitCodeProcess(m_process.hProcess, &code);
    std::printf("exit code %lu\n", code);
    return static_cast<long>(code);
  }

  int CloseAndExitCleanly() {
    PostMessageW(m_window, WM_CLOSE, 0, 0);
    return WaitForExit() == 0 ? 0 : 1;
  }

  bool TextIs(Control control, const std::wstring& expected) const {
    return TextOf((*this)[control]) == expected;
  }
  // Idle: Start and the list enabled, Stop disabled; reading: the reverse.
  bool Idle(bool idle = true) const {
    return (IsWindowEnabled((*this)[btAttiva]) != FALSE) == idle &&
           (IsWindowEnabled((*this)[cbCom]) != FALSE) == idle &&
           (IsWindowEnabled((*this)[btDisattiva]) != FALSE) != idle;
  }
  bool Reading() const { return Idle(false); }
  bool NoMessageBox() const {
    MessageBoxSeen seen;
    if (!FindMessageBox(Pid(), seen)) return true;
    std::printf("unexpected message box: %ls\n", seen.text.c_str());
    return false;
  }
  bool SelectPort(const wchar_t* port) const {
    Send((*this)[cbCom], CB_SETCURSEL, static_cast<WPARAM>(ComboIndexOf((*this)[cbCom], port)));
    return TextOf((*this)[cbCom]) == port;
  }

 private:
  std::wstring m_folder;
  PROCESS_INFORMATION m_process{};
  bool m_started = false;
  HWND m_window = nullptr;
};

// A badge as the reader sends it: STX (octal 002), batch 0x12 and serial
// 0x00BC614E in hex, their XOR checksum, CR LF, ETX (octal 003); and the same
// with a spoilt checksum.
constexpr char kBadgeFrame[] = "\0021200BC614E81\r\n\003";
constexpr char kDamagedFrame[] = "\0021200BC614E00\r\n\003";

bool WriteToPort(HANDLE port, const std::string& bytes) {
  DWORD written = 0;
  return WriteFile(port, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

int Startup(Program& program) {
  const HWND combo = program[cbCom];
  EXPECT_TRUE(TextOf(program.Window()) == L"Form1") << "caption Form1";
  EXPECT_TRUE(program.NoMessageBox()) << "no message box at start-up with the stand-in library";
  EXPECT_TRUE(TextOf(combo) == L"USB") << "the USB entry is selected";
  EXPECT_TRUE(ComboIndexOf(combo, L"SIM") >= 0) << "SIM is listed";
  EXPECT_TRUE(ComboIndexOf(combo, kReaderPort) >= 0) << "COM5 from SERIALCOMM is listed";
  EXPECT_TRUE(ComboIndexOf(combo, L"USB ANY") < 0) << "the design-time entries are gone";
  EXPECT_TRUE(program.Idle()) << "Start and the list enabled, Stop disabled";
  EXPECT_TRUE(program.TextIs(Label5, L"Disabled")) << "status Disabled";
  EXPECT_TRUE(program.TextIs(Text1, L"") && program.TextIs(Text2, L"")) << "both boxes empty";

  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  GetGUIThreadInfo(GetWindowThreadProcessId(program.Window(), nullptr), &thread);
  EXPECT_TRUE(thread.hwndFocus == program[btAttiva]) << "Start has the focus";
  return program.CloseAndExitCleanly();
}

int ReadBadge(Program& program) {
  const HANDLE badgePort =
      CreateFileW(kBadgePort, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (badgePort == INVALID_HANDLE_VALUE) {
    std::printf("SKIP: COM6 cannot be opened (the COM5/COM6 pair needs python3)\n");
    return kSkipped;
  }
  const auto statusBecomes = [&](const wchar_t* status) {
    return WaitUntil([&] { return program.TextIs(Label5, status); });
  };

  EXPECT_TRUE(program.SelectPort(kReaderPort)) << "COM5 selected";
  EXPECT_TRUE(ClickButton(program[btAttiva])) << "Start clicked";
  EXPECT_TRUE(WaitUntil([&] { return program.Reading(); }))
      << "reading: Start and the list disabled";
  EXPECT_TRUE(statusBecomes(L"Attivo")) << "status Attivo";

  EXPECT_TRUE(WriteToPort(badgePort, kBadgeFrame)) << "badge frame written to COM6";
  EXPECT_TRUE(statusBecomes(L"Lettura OK")) << "status Lettura OK";
  std::printf("read: %ls %ls\n", TextOf(program[Text1]).c_str(), TextOf(program[Text2]).c_str());
  EXPECT_TRUE(program.TextIs(Text1, L"018") && program.TextIs(Text2, L"0012345678"))
      << "batch 018, serial 0012345678";

  EXPECT_TRUE(WriteToPort(badgePort, kDamagedFrame)) << "damaged frame written to COM6";
  EXPECT_TRUE(statusBecomes(L"Errore in lettura tessera")) << "status Errore in lettura tessera";
  EXPECT_TRUE(program.TextIs(Text1, L"018") && program.TextIs(Text2, L"0012345678"))
      << "a damaged frame leaves the last badge in the boxes";

  EXPECT_TRUE(ClickButton(program[btDisattiva])) << "Stop clicked";
  EXPECT_TRUE(WaitUntil([&] { return program.Idle(); })) << "idle again";
  EXPECT_TRUE(program.TextIs(Label5, L"Disabilitato")) << "status Disabilitato";
  EXPECT_TRUE(program.NoMessageBox()) << "no message box while reading";
  CloseHandle(badgePort);
  return program.CloseAndExitCleanly();
}

int MissingLibrary(Program& program) {
  MessageBoxSeen box;
  EXPECT_TRUE(WaitUntil([&] { return FindMessageBox(program.Pid(), box) || program.Ended(); }))
      << "a message box appears";
  if (box.window == nullptr) return 1;
  std::printf("message: %ls\n", box.text.c_str());
  EXPECT_TRUE(box.caption == L"Corvane" && box.text.find(L"Tavrix.dll") != std::wstring::npos)
      << "caption Corvane, the text names Tavrix.dll";
  EXPECT_TRUE(box.buttons == std::vector<std::wstring>{L"OK"} && !box.hasIcon)
      << "one button, OK, no icon";
  EXPECT_TRUE(TopLevelWindows(program.Pid(), kWindowClass).empty()) << "the window is never shown";
  PostMessageW(box.window, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(program.WaitForExit() > 0) << "the program ends with a non-zero code";
  return 0;
}

// Alt+S as typed: keyboard input while the window is in front.
void TypeAltS() {
  INPUT keys[4]{};
  const WORD codes[4] = {VK_MENU, 'S', 'S', VK_MENU};
  for (int index = 0; index < 4; ++index) {
    keys[index].type = INPUT_KEYBOARD;
    keys[index].ki.wVk = codes[index];
    keys[index].ki.dwFlags = index < 2 ? 0 : KEYEVENTF_KEYUP;
  }
  SendInput(4, keys, sizeof keys[0]);
}

int AltS(Program& program) {
  const HWND window = program.Window();
  EXPECT_TRUE(program.SelectPort(L"SIM")) << "SIM selected";
  EXPECT_TRUE(WaitUntil([&] {
    SetForegroundWindow(window);
    return GetForegroundWindow() == window;
  })) << "the window is in front";
  TypeAltS();
  EXPECT_TRUE(WaitUntil([&] { return program.Reading(); })) << "Alt+S pressed Start";
  // Start is disabled now; the same keys reach the other S, Stop.
  TypeAltS();
  EXPECT_TRUE(WaitUntil([&] { return program.Idle(); })) << "Alt+S pressed Stop";
  EXPECT_TRUE(WaitUntil([&] { return program.TextIs(Label5, L"Disabilitato"); }))
      << "status Disabilitato";
  return program.CloseAndExitCleanly();
}

// Closing the window while reading uninitialises the library and leaves the
// readers to it: a TvxStop would be a second, needless stop of each.
int CloseWhileReading(Program& program) {
  EXPECT_TRUE(ClickButton(program[btAttiva])) << "Start clicked";
  EXPECT_TRUE(WaitUntil([&] { return program.Reading(); })) << "reading";
  const int closed = program.CloseAndExitCleanly();
  std::ostringstream log;
  log << std::ifstream(std::filesystem::path(program.Folder() + L"calls.log")).rdbuf();
  const std::string calls = log.str();
  std::printf("calls:\n%s", calls.c_str());
  const std::string last = "TvxStartCallBack\nTvxUninitialize\n";
  EXPECT_TRUE(calls.size() > last.size() && calls.substr(calls.size() - last.size()) == last)
      << "TvxUninitialize is called after the reader started, and is the last call";
  EXPECT_TRUE(calls.find("TvxStop") == std::string::npos) << "TvxStop is never called";
  return closed;
}

// One scenario against one running Corvane.exe.
class ScenarioTest final : public ::testing::Test {
 public:
  ScenarioTest(std::wstring name, int (*run)(Program&), std::wstring executable)
      : m_name(std::move(name)), m_run(run), m_executable(std::move(executable)) {}
  void TestBody() override {
    Program program(m_executable);
    ASSERT_TRUE(program.Started()) << "Corvane.exe did not start, error " << GetLastError();
    // Only without the library does the window never show.
    ASSERT_TRUE(m_name == L"missing-library" || program.WaitForWindow());
    const int result = m_run(program);
    if (result == kSkipped) GTEST_SKIP() << "see above";
    EXPECT_EQ(result, 0);
  }

 private:
  std::wstring m_name;
  int (*m_run)(Program&);
  std::wstring m_executable;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const std::map<std::wstring, int (*)(Program&)> scenarios = {
      {L"startup", &Startup},
      {L"read-badge", &ReadBadge},
      {L"missing-library", &MissingLibrary},
      {L"alt-s", &AltS},
      {L"close-while-reading", &CloseWhileReading}};
  const auto scenario = argc == 3 ? scenarios.find(argv[1]) : scenarios.end();
  if (scenario == scenarios.end()) {
    std::printf("usage: corvane_window_driver SCENARIO PATH\\TO\\Corvane.exe\n");
    return 2;
  }
  const std::wstring executable = argv[2];
  const std::string name(scenario->first.begin(), scenario->first.end());
  ::testing::RegisterTest("Scenario", name.c_str(), nullptr, nullptr, __FILE__, __LINE__,
                          [&]() -> ::testing::Test* {
                            return new ScenarioTest(scenario->first, scenario->second, executable);
                          });
  const int failed = RUN_ALL_TESTS();
  if (::testing::UnitTest::GetInstance()->skipped_test_count() > 0) return kSkipped;
  return failed;
}
