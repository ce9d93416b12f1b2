// Corvane's window in this process, as WinMain builds it: the Win32 front end
// and the program shell over a reader library, driven by its controls'
// messages as an operator's clicks would arrive. Message boxes are recorded,
// not shown, so a failure cannot block the run.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "program_shell.h"
#include "win32_front_end.h"

namespace corvane::bench {

class RecordingMsgBox final : public MsgBox {
 public:
  void Show(const std::wstring& text) override { texts.push_back(text); }
  std::vector<std::wstring> texts;
};

// The Win32 front end with its message box swapped for a recording one.
class RecordingFrontEnd final : public FrontEnd {
 public:
  explicit RecordingFrontEnd(HINSTANCE instance) : m_win32(instance, SW_SHOWNORMAL) {}
  ControlSet& Controls() override { return m_win32.Controls(); }
  MsgBox& Messages() override { return messages; }
  std::shared_ptr<UiDispatcher> Dispatcher() override { return m_win32.Dispatcher(); }
  void Show() override { m_win32.Show(); }
  int RunLoop() override { return m_win32.RunLoop(); }
  void Quit(int status) override { m_win32.Quit(status); }
  void Close() override { m_win32.Close(); }

  HWND Window() const { return m_win32.Handle(); }
  RecordingMsgBox messages;

 private:
  win32::Win32FrontEnd m_win32;
};

class WindowUnderTest {
 public:
  // Loads the window and shows it; throws std::runtime_error when it failed.
  // `library` must outlive it.
  WindowUnderTest(HINSTANCE instance, ReaderLibrary& library);
  ~WindowUnderTest();
  WindowUnderTest(const WindowUnderTest&) = delete;
  WindowUnderTest& operator=(const WindowUnderTest&) = delete;

  HWND Control(const wchar_t* name) const;
  bool ChoosePort(const wchar_t* port) const;
  void Click(const wchar_t* button) const;
  bool Reading() const;
  std::wstring Text(const wchar_t* name) const;
  const std::vector<std::wstring>& Problems() const { return m_frontEnd.messages.texts; }

 private:
  RecordingFrontEnd m_frontEnd;
  ProgramShell m_shell;
};

// Runs this thread's messages for `span`, as a message loop would, waking
// only for them.
void PumpMessagesFor(std::chrono::milliseconds span);

double ProcessCpuMs();

}  // namespace corvane::bench
