// The program's one place for failures that end it: the first one caught in
// a window procedure, a task or a handler is kept, and the program reports it
// once on its way out.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

namespace corvane::win32 {

// Exit codes of a program that ends on a failure.
inline constexpr int kExitReaderLibraryMissing = 2;
inline constexpr int kExitUnexpectedFailure = 3;

class FatalFailure {
 public:
  // Keeps `failure` unless one is kept already. UI thread only.
  void Capture(std::exception_ptr failure);
  bool Happened() const { return m_failure != nullptr; }

  // What the operator reads: the missing file or entry point, or the failure.
  std::wstring Description() const;
  int ExitCode() const;

  // A message box owned by `owner` (or none), and the same line on stderr.
  void Report(HWND owner) const;

 private:
  std::exception_ptr m_failure;
};

}  // namespace corvane::win32
