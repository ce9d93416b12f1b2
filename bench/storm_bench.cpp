// A notification storm: four foreign threads call ReaderCallBack for the
// reading pseudo-terminal as fast as they can, repeating the same few card
// notifications, for 10 s in all. Meanwhile Stop is clicked 20 times, each
// click queued as the event loop would bring it, and Start again after it.
// Measured: resident memory after the storm against after the first 100
// deliveries, the time from each Stop click to Start being enabled, the
// deliveries that came after TvxStop had returned, and the rate at which the
// window showed badges.
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "badge_frames.h"
#include "benches.h"
#include "figure_table.h"
#include "module1.h"
#include "process_counters.h"
#include "pty_pair.h"
#include "sample_stats.h"
#include "stall_guard.h"
#include "storm_library.h"
#include "window_under_test.h"

namespace corvane::bench {
namespace {

using testing::PtyPair;

using Clock = std::chrono::steady_clock;

constexpr int kStopClicks = 20;
constexpr std::chrono::milliseconds kStormBeforeEachClick{500};
constexpr uint64_t kFirstDeliveries = 100;
constexpr double kGoalMemoryRatio = 1.05;
constexpr double kGoalStopMs = 100;

double Ms(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

double Mb(std::size_t bytes) { return static_cast<double>(bytes) / (1024 * 1024); }

void RunLoopFor(std::chrono::milliseconds span) {
  QEventLoop loop;
  QTimer::singleShot(span, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace

bool RunStormBench() {
  StallGuard guard("notification storm", std::chrono::seconds(180));
  PtyPair pty;
  StormLibrary library(Module1::Instance());
  WindowUnderTest window(library);
  window.ChoosePort(pty.SlavePath());

  std::size_t residentAfterFirst = 0;
  std::vector<double> stopMs;
  Clock::duration stormed{};
  uint64_t fetchedWhileStorming = 0;
  bool everyStartRead = true;
  for (int click = 0; click < kStopClicks; ++click) {
    window.ClickStart();
    // The storm's card notifications fetch the card the reader holds: one
    // real badge first, so there is one.
    const BenchBadge badge = MakeBadge(static_cast<uint32_t>(click));
    pty.Write(badge.frame);
    ProcessEventsUntil([&] { return window.Text2().text().toStdString() == badge.serial; });
    everyStartRead = everyStartRead && window.Reading();

    const uint64_t fetchedBefore = library.CardsFetched();
    const auto started = Clock::now();
    library.Aim(library.LastStarted());
    if (click == 0) {
      ProcessEventsUntil(
          [&] { return library.CardsFetched() >= fetchedBefore + kFirstDeliveries; });
      residentAfterFirst = ResidentBytes();
    }
    RunLoopFor(kStormBeforeEachClick);

    const auto clicked = Clock::now();
    window.QueueStopClick();
    ProcessEventsUntil([&] { return window.CanStart(); });
    const auto stopped = Clock::now();
    stopMs.push_back(Ms(stopped - clicked));
    stormed += stopped - started;
    fetchedWhileStorming += library.CardsFetched() - fetchedBefore;
  }
  // Anything of a stopped reader still queued would be delivered now.
  RunLoopFor(kStormBeforeEachClick);
  const std::size_t residentAfterStorm = ResidentBytes();

  const bool memoryMet = Mb(residentAfterStorm) <= Mb(residentAfterFirst) * kGoalMemoryRatio;
  PrintRow({"resident memory after a 10 s storm from 4 threads vs after 100 (MB)",
            Fixed(Mb(residentAfterStorm), 2), Fixed(Mb(residentAfterFirst), 2),
            Ratio(Mb(residentAfterStorm), Mb(residentAfterFirst)), "<= 1.05x", memoryMet});
  const double p99 = Percentile(stopMs, 99);
  const bool stopMet = everyStartRead && p99 <= kGoalStopMs;
  PrintRow({"storm: Stop click to Start enabled, p99 of " + std::to_string(kStopClicks) + " (ms)",
            Fixed(p99, 2), "-", "-", "<= 100 ms", stopMet});
  const uint64_t late = library.FetchesAfterStop();
  PrintRow({"storm: notifications delivered after TvxStop returned", std::to_string(late), "-", "-",
            "0", late == 0});
  const double seconds = std::chrono::duration<double>(stormed).count();
  const double shownRate = static_cast<double>(fetchedWhileStorming) / seconds;
  const double sentRate = static_cast<double>(library.Sent()) / seconds;
  PrintRow({"storm: badges the window showed vs notifications sent (per s)", Fixed(shownRate, 0),
            Fixed(sentRate, 0), Ratio(shownRate, sentRate), "-", std::nullopt});
  if (!window.Problems().isEmpty()) {
    std::fprintf(stderr, "storm: %s\n", qPrintable(window.Problems().join("; ")));
  }
  return memoryMet && stopMet && late == 0 && window.Problems().isEmpty();
}

}  // namespace corvane::bench
