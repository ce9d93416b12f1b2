// The one place where a failure below the window logic ends the program: a
// reader library file or entry point that cannot be found (ReaderLibraryMissing,
// whose text names the file or the entry point), or anything else thrown out of
// the logic. No exception may cross Qt's event delivery, so every slot and
// every task posted to the UI thread runs through CallReportingFatal.
#pragma once

#include <exception>
#include <functional>
#include <stdexcept>

namespace corvane::qtui {

inline constexpr int kExitFatalError = 2;

// What to do with an exception that reached the front end.
using FatalErrorHandler = std::function<void(const std::exception& error)>;

// Writes error.what() as one line on stderr and shows it in a message box.
// Only the first error is reported; later ones (often the same failure met
// again while the program winds down) are dropped.
void ReportFatalError(const std::exception& error);

// True once ReportFatalError has reported.
bool FatalErrorReported();

// Reports, then makes the running event loops end with kExitFatalError. For
// errors met after start-up, inside event delivery.
void EndProgramOnFatalError(const std::exception& error);

// Runs `work`; an exception it throws goes to `onFatal` instead of propagating.
template <typename Work>
void CallReportingFatal(const FatalErrorHandler& onFatal, Work&& work) noexcept {
  try {
    work();
  } catch (const std::exception& error) {
    onFatal(error);
  } catch (...) {
    onFatal(std::runtime_error("Errore sconosciuto"));
  }
}

}  // namespace corvane::qtui
