// The whole-process benchmarks. Each prints its rows (figure_table.h) and
// returns false when one of its goals was not met or it could not run.
#pragma once

namespace corvane::bench {

bool RunStartupBench();  // no QApplication needed: it starts programs
bool RunLatencyBench();  // the others need a QApplication
bool RunIdleBench();
bool RunThroughputBench();
bool RunStartStopBench();

}  // namespace corvane::bench
