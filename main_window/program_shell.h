// The program's run, the same for every front end: Form_Load, the window
// shown, the event loop, Form_Terminate; and the one place where a failure
// below the window logic ends the program.
//
// A failure (a reader library file or entry point that cannot be found, or
// anything else thrown out of Form1) is reported once: one line on stderr and
// a message box naming what is missing, which stays until the operator
// answers it. From the first failure on, clicks and notifications no longer
// reach Form1, so nothing can replace or dismiss the report; the program
// then ends with kExitFatal.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "form1.h"
#include "front_end.h"
#include "reader_callback.h"
#include "reader_library.h"

namespace corvane {

// The exit status of a program ended by a failure.
inline constexpr int kExitFatal = 2;

class ProgramShell final : private NotificationTarget {
 public:
  // Wires Form1 to the front end's controls, clicks and dispatcher and makes
  // it the target of the library's notifications. Both must outlive the shell.
  ProgramShell(FrontEnd& frontEnd, ReaderLibrary& library);
  ~ProgramShell() override;
  ProgramShell(const ProgramShell&) = delete;
  ProgramShell& operator=(const ProgramShell&) = delete;

  // The whole run; returns the exit status.
  int Run();

  // Run in two halves, for callers that drive the event loop themselves.
  // Open runs Form_Load and shows the window; false when it failed (already
  // reported, the window never shown). Close ends the window, runs
  // Form_Terminate and returns the exit status for a loop that ended with
  // `loopStatus`; only the first call does anything.
  bool Open();
  int Close(int loopStatus);

  // Why a failure ends the program, as the operator reads it.
  static std::wstring Describe(std::exception_ptr failure);

 private:
  void CallBackBadge(int32_t HReader, int32_t Wparam, int32_t Lparam, int32_t UserData) override;
  // Runs `work` unless the program is already failing; what it throws ends
  // the program.
  template <typename Work>
  void Guarded(Work&& work) noexcept;
  void Fail(std::exception_ptr failure) noexcept;

  FrontEnd& m_frontEnd;
  ReaderLibrary& m_library;
  Form1 m_form;
  std::exception_ptr m_failure;
  bool m_looping = false;
  bool m_closed = false;
};

}  // namespace corvane
