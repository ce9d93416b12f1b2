// Drives the real Corvane.exe under Wine as an operator would, one scenario
// per run:  corvane_window_driver SCENARIO PATH\TO\Corvane.exe
// Exit code 0: passed; 1: failed; 77: skipped (what it needs is missing).
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <map>
#include <string>

#include "window_probe.h"

namespace corvane::wintest {
namespace {

constexpr int kSkipped = 77;
constexpr const wchar_t* kWindowClass = L"CorvaneForm1";
constexpr const wchar_t* kReaderPort = L"COM5";        // Corvane reads here
constexpr const wchar_t* kBadgePort = L"\\\\.\\COM6";  // the test plays the reader here

int g_failures = 0;

void Check(bool holds, const std::string& what) {
  std::printf("%s: %s\n", holds ? "ok" : "FAIL", what.c_str());
  std::fflush(stdout);
  if (!holds) ++g_failures;
}

// One running Corvane.exe.
class Program {
 public:
  explicit Program(const std::wstring& path) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + path + L"\"";
    const std::wstring folder = path.substr(0, path.find_last_of(L"\\/"));
    m_started = CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                               nullptr, folder.c_str(), &startup, &m_process) != FALSE;
  }
  ~Program() {
    if (!m_started) return;
    if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(m_process.hProcess, 99);
    }
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
  }

  bool Started() const { return m_started; }
  DWORD Pid() const { return m_process.dwProcessId; }

  HWND WaitForWindow() {
    HWND found = nullptr;
    WaitUntil([&] {
      const auto windows = TopLevelWindows(Pid(), kWindowClass);
      found = windows.empty() ? nullptr : windows.front();
      return found != nullptr || Ended();
    });
    return found;
  }

  bool Ended() const { return WaitForSingleObject(m_process.hProcess, 0) == WAIT_OBJECT_0; }

  // Waits for the end; returns the exit code, or -1 if it did not end.
  long WaitForExit(double seconds = 30) {
    if (!WaitUntil([&] { return Ended(); }, seconds)) return -1;
    DWORD code = 0;
    GetExitCodeProcess(m_process.hProcess, &code);
    return static_cast<long>(code);
  }

 private:
  PROCESS_INFORMATION m_process{};
  bool m_started = false;
};

// Form1's controls by name, in the order the window holds them.
struct Form {
  HWND window = nullptr;
  std::map<std::wstring, HWND> controls;
  HWND operator[](const wchar_t* name) const {
    const auto found = controls.find(name);
    return found == controls.end() ? nullptr : found->second;
  }
};

Form ReadForm(HWND window) {
  static const wchar_t* const kNames[] = {L"btDisattiva", L"btAttiva", L"cbCom",  L"Label2",
                                          L"Label4",      L"Label5",   L"Label1", L"Text1",
                                          L"Label3",      L"Text2"};
  Form form;
  form.window = window;
  for (HWND child : ChildrenInOrder(window)) {
    const int index = GetDlgCtrlID(child) - 100;
    if (index >= 0 && index < 10) form.controls[kNames[index]] = child;
  }
  return form;
}

bool TextIs(HWND control, const std::wstring& expected) { return TextOf(control) == expected; }

bool Reading(const Form& form) {
  return !IsWindowEnabled(form[L"btAttiva"]) && IsWindowEnabled(form[L"btDisattiva"]) &&
         !IsWindowEnabled(form[L"cbCom"]);
}

bool Idle(const Form& form) {
  return IsWindowEnabled(form[L"btAttiva"]) && !IsWindowEnabled(form[L"btDisattiva"]) &&
         IsWindowEnabled(form[L"cbCom"]);
}

bool NoMessageBox(const Program& program) {
  MessageBoxSeen seen;
  if (!FindMessageBox(program.Pid(), seen)) return true;
  std::printf("unexpected message box: %s\n", Narrow(seen.text).c_str());
  return false;
}

bool CloseAndExitCleanly(Program& program, const Form& form) {
  PostMessageW(form.window, WM_CLOSE, 0, 0);
  const long code = program.WaitForExit();
  std::printf("exit code %ld\n", code);
  return code == 0;
}

bool SelectPort(const Form& form, const std::wstring& port) {
  const int index = ComboIndexOf(form[L"cbCom"], port);
  if (index < 0) return false;
  SendMessageW(form[L"cbCom"], CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  return ComboSelection(form[L"cbCom"]) == port;
}

// A badge as the reader sends it: STX, batch 0x12 and serial 0x00BC614E in
// hex, their XOR checksum, CR LF, ETX; and the same with a spoilt checksum.
constexpr char kBadgeFrame[] =
    "\x02"
    "1200BC614E81\r\n\x03";
constexpr char kDamagedFrame[] =
    "\x02"
    "1200BC614E00\r\n\x03";

bool WriteToPort(HANDLE port, const std::string& bytes) {
  DWORD written = 0;
  return WriteFile(port, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) !=
             FALSE &&
         written == bytes.size();
}

int Startup(Program& program) {
  const HWND window = program.WaitForWindow();
  Check(window != nullptr, "the window appears");
  if (window == nullptr) return 1;
  const Form form = ReadForm(window);
  Check(TextOf(window) == L"Form1", "caption Form1");
  Check(NoMessageBox(program), "no message box at start-up with the stand-in library");

  Check(ComboSelection(form[L"cbCom"]) == L"USB", "the USB entry is selected");
  Check(ComboIndexOf(form[L"cbCom"], L"SIM") >= 0, "SIM is listed");
  Check(ComboIndexOf(form[L"cbCom"], kReaderPort) >= 0, "COM5 from SERIALCOMM is listed");
  Check(ComboIndexOf(form[L"cbCom"], L"USB ANY") < 0, "the design-time entries are gone");
  Check(Idle(form), "Start and the list enabled, Stop disabled");
  Check(TextIs(form[L"Label5"], L"Disabled"), "status Disabled");
  Check(TextIs(form[L"Text1"], L"") && TextIs(form[L"Text2"], L""), "both boxes empty");

  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread);
  Check(thread.hwndFocus == form[L"btAttiva"], "Start has the focus");
  return CloseAndExitCleanly(program, form) ? 0 : 1;
}

int ReadBadge(Program& program) {
  const HANDLE badgePort =
      CreateFileW(kBadgePort, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (badgePort == INVALID_HANDLE_VALUE) {
    std::printf("SKIP: %s cannot be opened (the COM5/COM6 pair needs python3)\n",
                Narrow(kBadgePort).c_str());
    return kSkipped;
  }
  const HWND window = program.WaitForWindow();
  Check(window != nullptr, "the window appears");
  if (window == nullptr) return 1;
  const Form form = ReadForm(window);

  Check(SelectPort(form, kReaderPort), "COM5 selected");
  Check(ClickButton(form[L"btAttiva"]), "Start clicked");
  Check(WaitUntil([&] { return Reading(form); }), "reading: Start and the list disabled");
  Check(WaitUntil([&] { return TextIs(form[L"Label5"], L"Attivo"); }), "status Attivo");

  Check(WriteToPort(badgePort, kBadgeFrame), "badge frame written to COM6");
  Check(WaitUntil([&] { return TextIs(form[L"Label5"], L"Lettura OK"); }), "status Lettura OK");
  Check(TextIs(form[L"Text1"], L"018"), "batch 018, read: " + Narrow(TextOf(form[L"Text1"])));
  Check(TextIs(form[L"Text2"], L"0012345678"),
        "serial 0012345678, read: " + Narrow(TextOf(form[L"Text2"])));

  Check(WriteToPort(badgePort, kDamagedFrame), "damaged frame written to COM6");
  Check(WaitUntil([&] { return TextIs(form[L"Label5"], L"Errore in lettura tessera"); }),
        "status Errore in lettura tessera");
  Check(TextIs(form[L"Text1"], L"018") && TextIs(form[L"Text2"], L"0012345678"),
        "a damaged frame leaves the last badge in the boxes");

  Check(ClickButton(form[L"btDisattiva"]), "Stop clicked");
  Check(WaitUntil([&] { return Idle(form); }), "idle again");
  Check(TextIs(form[L"Label5"], L"Disabilitato"), "status Disabilitato");
  Check(NoMessageBox(program), "no message box while reading");
  CloseHandle(badgePort);
  return CloseAndExitCleanly(program, form) ? 0 : 1;
}

int MissingLibrary(Program& program) {
  MessageBoxSeen box;
  Check(WaitUntil([&] { return FindMessageBox(program.Pid(), box) || program.Ended(); }),
        "a message box appears");
  if (box.window == nullptr) return 1;
  std::printf("message: %s\n", Narrow(box.text).c_str());
  Check(box.caption == L"Corvane", "caption Corvane");
  Check(box.text.find(L"Tavrix.dll") != std::wstring::npos, "the text names Tavrix.dll");
  Check(box.buttons.size() == 1 && box.buttons.front() == L"OK", "one button, OK");
  Check(!box.hasIcon, "no icon");
  Check(TopLevelWindows(program.Pid(), kWindowClass).empty(), "the window is never shown");
  DismissMessageBox(box);
  const long code = program.WaitForExit();
  std::printf("exit code %ld\n", code);
  Check(code > 0, "the program ends with a non-zero code");
  return 0;
}

// Alt+S as typed: keyboard input while the window is in front.
void TypeAltS(HWND window) {
  SetForegroundWindow(window);
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
  const HWND window = program.WaitForWindow();
  Check(window != nullptr, "the window appears");
  if (window == nullptr) return 1;
  const Form form = ReadForm(window);
  Check(SelectPort(form, L"SIM"), "SIM selected");
  Check(WaitUntil([&] {
          SetForegroundWindow(window);
          return GetForegroundWindow() == window;
        }),
        "the window is in front");

  TypeAltS(window);
  Check(WaitUntil([&] { return Reading(form); }), "Alt+S pressed Start");
  // Start is disabled now; the same keys reach the other S, Stop.
  TypeAltS(window);
  Check(WaitUntil([&] { return Idle(form); }), "Alt+S pressed Stop");
  Check(WaitUntil([&] { return TextIs(form[L"Label5"], L"Disabilitato"); }), "status Disabilitato");
  return CloseAndExitCleanly(program, form) ? 0 : 1;
}

}  // namespace
}  // namespace corvane::wintest

int wmain(int argc, wchar_t** argv) {
  using namespace corvane::wintest;
  if (argc != 3) {
    std::printf(
        "usage: corvane_window_driver startup|read-badge|missing-library|alt-s Corvane.exe\n");
    return 2;
  }
  const std::map<std::wstring, int (*)(Program&)> scenarios = {
      {L"startup", &Startup},
      {L"read-badge", &ReadBadge},
      {L"missing-library", &MissingLibrary},
      {L"alt-s", &AltS}};
  const auto scenario = scenarios.find(argv[1]);
  if (scenario == scenarios.end()) {
    std::printf("unknown scenario\n");
    return 2;
  }
  Program program(argv[2]);
  if (!program.Started()) {
    std::printf("FAIL: %s did not start (error %lu)\n", Narrow(argv[2]).c_str(), GetLastError());
    return 1;
  }
  const int result = scenario->second(program);
  if (result == kSkipped) return result;
  std::printf("%s\n", g_failures == 0 && result == 0 ? "PASSED" : "FAILED");
  return g_failures == 0 && result == 0 ? 0 : 1;
}
