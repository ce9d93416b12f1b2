// Idle cost: CPU time of the whole process over 10 s of reading a port where
// no badge ever comes. The floor is the same window over the same 10 s before
// Start, so what is left is what reading itself costs.
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <chrono>

#include "benches.h"
#include "figure_table.h"
#include "process_counters.h"
#include "pty_master.h"
#include "stall_guard.h"
#include "window_under_test.h"

namespace corvane::bench {
namespace {

constexpr std::chrono::seconds kIdleSpan{10};
constexpr double kGoalMs = 5.0;

struct IdleCpu {
  double processMs = 0;
  double uiThreadMs = 0;  // this thread: the event loop and the window
};

double Ms(std::chrono::microseconds time) {
  return std::chrono::duration<double, std::milli>(time).count();
}

IdleCpu CpuOverIdleSpan() {
  QEventLoop loop;
  QTimer::singleShot(kIdleSpan, &loop, &QEventLoop::quit);
  const auto processBefore = ProcessCpuTime();
  const auto threadBefore = ThreadCpuTime();
  loop.exec();
  return {Ms(ProcessCpuTime() - processBefore), Ms(ThreadCpuTime() - threadBefore)};
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
  const IdleCpu floor = CpuOverIdleSpan();

  window.ChoosePort(pty.SlavePath());
  window.ClickStart();
  Settle();
  const bool reading = window.Reading();
  const IdleCpu value = CpuOverIdleSpan();
  const QWidget* focus = QApplication::focusWidget();
  const QString focusName = focus != nullptr ? focus->objectName() : QStringLiteral("none");
  window.ClickStop();

  const bool met = reading && window.Problems().isEmpty() && value.processMs < kGoalMs;
  PrintRow({"idle CPU while reading, 10 s, whole process (ms)", Fixed(value.processMs, 2),
            Fixed(floor.processMs, 2), Ratio(value.processMs, floor.processMs), "< 5 ms", met});
  // Where it went: the UI thread (which includes whatever the focused
  // control does on its own, such as a blinking caret) and the rest, which
  // is the reader library's thread.
  PrintRow({"  of which UI thread, focus on " + focusName.toStdString() + " (ms)",
            Fixed(value.uiThreadMs, 2), Fixed(floor.uiThreadMs, 2),
            Ratio(value.uiThreadMs, floor.uiThreadMs), "-", std::nullopt});
  const double readerMs = value.processMs - value.uiThreadMs;
  const double readerFloorMs = floor.processMs - floor.uiThreadMs;
  PrintRow({"  of which other threads: the reader (ms)", Fixed(readerMs, 2),
            Fixed(readerFloorMs, 2), Ratio(readerMs, readerFloorMs), "-", std::nullopt});
  return met;
}

}  // namespace corvane::bench
