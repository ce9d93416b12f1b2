// Idle cost: CPU time of the whole process over 10 s of reading a port where
// no badge ever comes. The floor is the same window over the same 10 s before
// Start, so what is left is what reading itself costs.
#include <QEventLoop>
#include <QTimer>
#include <chrono>

#include "bench/benches.h"
#include "bench/figure_table.h"
#include "bench/process_counters.h"
#include "bench/pty_master.h"
#include "bench/stall_guard.h"
#include "bench/window_under_test.h"

namespace corvane::bench {
namespace {

constexpr std::chrono::seconds kIdleSpan{10};
constexpr double kGoalMs = 5.0;

double CpuMsOverIdleSpan() {
  QEventLoop loop;
  QTimer::singleShot(kIdleSpan, &loop, &QEventLoop::quit);
  const auto before = ProcessCpuTime();
  loop.exec();
  return std::chrono::duration<double, std::milli>(ProcessCpuTime() - before).count();
}

// Lets queued start-up work (the first notification, paints) finish so it is
// not counted as idling.
void Settle() {
  QEventLoop loop;
  QTimer::singleShot(std::chrono::milliseconds(500), &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace

bool RunIdleBench() {
  StallGuard guard("idle CPU over 10 s", std::chrono::seconds(120));
  PtyMaster pty;
  WindowUnderTest window;
  Settle();
  const double floor = CpuMsOverIdleSpan();

  window.ChoosePort(pty.SlavePath());
  window.ClickStart();
  Settle();
  const bool reading = window.Reading();
  const double value = CpuMsOverIdleSpan();
  window.ClickStop();

  const bool met = reading && window.Problems().isEmpty() && value < kGoalMs;
  PrintRow({"idle CPU while reading, 10 s (ms)", Fixed(value, 2), Fixed(floor, 2),
            Ratio(value, floor), "< 5 ms", met});
  return met;
}

}  // namespace corvane::bench
