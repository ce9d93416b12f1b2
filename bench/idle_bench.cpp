// Idle cost: CPU time of the whole process over 10 s of reading a port where
// no badge ever comes. All of it should be the blinking caret in Text1, where
// Start hands the focus, so the floor is the plain ten-widget window
// (plain_window.h) in this same process with the focus in its first text box,
// over 10 s before and 10 s after. The reader thread, blocked on its port,
// should cost nothing at all.
#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <map>

#include "benches.h"
#include "figure_table.h"
#include "plain_window.h"
#include "process_counters.h"
#include "pty_pair.h"
#include "stall_guard.h"
#include "window_under_test.h"

namespace corvane::bench {
namespace {

using testing::PtyPair;

constexpr std::chrono::seconds kIdleSpan{10};
constexpr double kGoalRatio = 1.1;

struct IdleCpu {
  double processMs = 0;
  double uiThreadMs = 0;    // this thread: the event loop and the window
  double newThreadsMs = 0;  // threads that came after `before` was taken
};

template <typename Duration>
double Ms(Duration time) {
  return std::chrono::duration<double, std::milli>(time).count();
}

// `before`: the threads there were before reading started.
IdleCpu CpuOverIdleSpan(const std::map<long, std::chrono::nanoseconds>& before) {
  QEventLoop loop;
  QTimer::singleShot(kIdleSpan, &loop, &QEventLoop::quit);
  const auto processBefore = ProcessCpuTime();
  const auto threadBefore = ThreadCpuTime();
  const auto threadsBefore = CpuTimeByThread();
  loop.exec();
  IdleCpu spent{Ms(ProcessCpuTime() - processBefore), Ms(ThreadCpuTime() - threadBefore)};
  for (const auto& [thread, time] : CpuTimeByThread()) {
    if (before.count(thread) != 0) continue;
    const auto atStart = threadsBefore.find(thread);
    spent.newThreadsMs +=
        Ms(time - (atStart != threadsBefore.end() ? atStart->second : std::chrono::nanoseconds{}));
  }
  return spent;
}

// Lets queued start-up work (the first notification, paints) finish so it is
// not counted as idling.
void Settle() {
  QEventLoop loop;
  QTimer::singleShot(std::chrono::milliseconds(500), &loop, &QEventLoop::quit);
  loop.exec();
}

QString FocusName() {
  const QWidget* focus = QApplication::focusWidget();
  return focus != nullptr ? focus->objectName() : QStringLiteral("none");
}

}  // namespace

bool RunIdleBench() {
  StallGuard guard("idle CPU over 10 s", std::chrono::seconds(150));
  QString floorFocus;
  const auto plainFloor = [&floorFocus] {
    const std::unique_ptr<QWidget> plain = MakePlainWindow();
    plain->show();
    plain->activateWindow();
    plain->findChild<QLineEdit*>(QStringLiteral("Text1"))->setFocus(Qt::OtherFocusReason);
    WaitUntilExposed(*plain);
    Settle();
    floorFocus = FocusName();
    return CpuOverIdleSpan(CpuTimeByThread());
  };
  // The floor is taken before and after, and averaged, so that a machine
  // whose load drifts meanwhile weighs on both sides alike.
  const IdleCpu floorBefore = plainFloor();

  bool reading = false;
  QString focus;
  IdleCpu value;
  QStringList problems;
  {
    PtyPair pty;
    WindowUnderTest window;
    window.ChoosePort(pty.SlavePath());
    const auto threadsBeforeStart = CpuTimeByThread();
    window.ClickStart();
    Settle();
    reading = window.Reading();
    focus = FocusName();
    value = CpuOverIdleSpan(threadsBeforeStart);
    window.ClickStop();
    problems = window.Problems();
  }
  const IdleCpu floorAfter = plainFloor();
  const IdleCpu floor{(floorBefore.processMs + floorAfter.processMs) / 2,
                      (floorBefore.uiThreadMs + floorAfter.uiThreadMs) / 2};

  const bool met = reading && problems.isEmpty() && value.processMs <= floor.processMs * kGoalRatio;
  PrintRow({"idle CPU while reading, 10 s, whole process (ms)", Fixed(value.processMs, 2),
            Fixed(floor.processMs, 2), Ratio(value.processMs, floor.processMs), "<= 1.1x", met});
  PrintRow({"  of which UI thread, focus on " + focus.toStdString() +
                " (floor: " + floorFocus.toStdString() + ") (ms)",
            Fixed(value.uiThreadMs, 2), Fixed(floor.uiThreadMs, 2),
            Ratio(value.uiThreadMs, floor.uiThreadMs), "-", std::nullopt});
  const bool readerMet = Fixed(value.newThreadsMs, 2) == "0.00";
  PrintRow({"  of which the reader thread (ms)", Fixed(value.newThreadsMs, 2), "-", "-", "0.00",
            readerMet});
  return met && readerMet;
}

}  // namespace corvane::bench
