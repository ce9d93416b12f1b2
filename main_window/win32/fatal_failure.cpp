#include "main_window/win32/fatal_failure.h"

#include <cstdio>
#include <stdexcept>

#include "main_window/win32/win32_controls.h"
#include "reader_binding/library_loader.h"
#include "reader_binding/text_rules.h"

namespace corvane::win32 {

void FatalFailure::Capture(std::exception_ptr failure) {
  if (m_failure != nullptr || failure == nullptr) return;
  m_failure = failure;
}

std::wstring FatalFailure::Description() const {
  if (m_failure == nullptr) return {};
  try {
    std::rethrow_exception(m_failure);
  } catch (const std::exception& failure) {
    return FromAnsi(failure.what());
  } catch (...) {
    return L"Unexpected failure";
  }
}

int FatalFailure::ExitCode() const {
  if (m_failure == nullptr) return 0;
  try {
    std::rethrow_exception(m_failure);
  } catch (const ReaderLibraryMissing&) {
    return kExitReaderLibraryMissing;
  } catch (...) {
    return kExitUnexpectedFailure;
  }
}

void FatalFailure::Report(HWND owner) const {
  if (m_failure == nullptr) return;
  const std::wstring description = Description();
  std::fprintf(stderr, "Corvane: %ls\n", description.c_str());
  std::fflush(stderr);
  ShowMessage(owner, description);
}

}  // namespace corvane::win32
