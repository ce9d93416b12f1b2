// The start-up benchmark's finish line, shared by the program under test and
// its empty-window floor so both are measured to the same event.
#pragma once

class QCoreApplication;

namespace corvane::bench {

// Once the first window has been exposed and painted, prints
// "exposed <CLOCK_MONOTONIC nanoseconds>" on stdout and ends the event loop.
void MarkFirstExposure(QCoreApplication& app);

}  // namespace corvane::bench
