// The notification storm under Windows: Corvane's window reads "SIM", and
// once it shows a badge, four foreign threads call ReaderCallBack for that
// reader as fast as they can (storm_library.h) for 10 s. Resident memory
// (the working set) after the storm against after the first 100 deliveries.
#include <windows.h>

#include <chrono>

#include "figure_table.h"
#include "module1.h"
#include "storm_library.h"
#include "win32_benches.h"
#include "window_under_test.h"

namespace corvane::bench {
namespace {

constexpr std::chrono::seconds kStorm{10};
constexpr uint64_t kFirstDeliveries = 100;
constexpr double kGoalMemoryRatio = 1.05;

}  // namespace

bool RunStormBench(HINSTANCE instance, const std::string& label) {
  StormLibrary library(Module1::Instance());
  WindowUnderTest window(instance, library);
  const bool chosen = window.ChoosePort(L"SIM");
  window.Click(L"btAttiva");
  // The storm's card notifications fetch the card the reader holds: the
  // simulated reader's first badge gives it one.
  PumpMessagesUntil([&] { return !window.Text(L"Text2").empty() || !window.Problems().empty(); });
  library.Aim(library.LastStarted());
  PumpMessagesUntil([&] { return library.CardsFetched() >= kFirstDeliveries; });
  const auto afterFirst = static_cast<double>(WorkingSetBytes());
  PumpMessagesFor(kStorm);
  const auto afterStorm = static_cast<double>(WorkingSetBytes());
  window.Click(L"btDisattiva");

  const bool met = chosen && window.Problems().empty() && library.FetchesAfterStop() == 0 &&
                   afterStorm <= afterFirst * kGoalMemoryRatio;
  PrintRow({label + ": resident memory after a 10 s storm vs after 100", "-", "-",
            Ratio(afterStorm, afterFirst), "<= 1.05x", met});
  return met;
}

}  // namespace corvane::bench
