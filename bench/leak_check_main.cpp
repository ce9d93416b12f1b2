// One whole session for the valgrind leak check: the window loads, reads a
// badge from a pseudo-terminal, stops, starts and stops "SIM", and closes.
// Exits non-zero when the session itself goes wrong, so a leak report is never
// read off a run that did not do its job.
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "badge_frames.h"
#include "pty_pair.h"
#include "tavrix_port_names.h"
#include "window_under_test.h"

int main(int argc, char* argv[]) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  int status = EXIT_SUCCESS;
  {
    corvane::testing::PtyPair pty;
    corvane::bench::WindowUnderTest window;
    window.ChoosePort(pty.SlavePath());
    window.ClickStart();

    const corvane::bench::BenchBadge badge = corvane::bench::MakeBadge(4242);
    pty.Write(badge.frame);
    // Under valgrind everything is slow; the timer only wakes the loop to
    // look again. A badge that never shows ends the run as failed.
    bool gaveUp = false;
    QTimer::singleShot(std::chrono::seconds(120), [&] { gaveUp = true; });
    QTimer wake;
    wake.start(20);
    corvane::bench::ProcessEventsUntil(
        [&] { return gaveUp || window.Text2().text().toStdString() == badge.serial; });
    window.ClickStop();

    window.ChoosePort(tavrix::kSimPort.narrow);
    window.ClickStart();
    const bool simStarted = window.Reading();
    window.ClickStop();

    if (gaveUp || !simStarted || !window.Problems().isEmpty()) {
      std::fprintf(stderr, "session failed: badge %s, SIM %s, problems: %s\n",
                   gaveUp ? "not shown" : "shown", simStarted ? "started" : "refused",
                   qPrintable(window.Problems().join("; ")));
      status = EXIT_FAILURE;
    }
  }
  return status;
}
