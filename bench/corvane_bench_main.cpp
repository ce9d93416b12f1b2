// corvane_bench FIGURE: runs one whole-process benchmark in a fresh process
// and prints its rows. FIGURE is startup, latency, idle, throughput or
// startstop.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string_view>

#include "benches.h"

namespace {

constexpr int kUsage = 2;
constexpr int kGoalMissed = 1;

int Exit(bool met) { return met ? EXIT_SUCCESS : kGoalMissed; }

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s startup|latency|idle|throughput|startstop\n", argv[0]);
    return kUsage;
  }
  // The start-up programs inherit this too, so both sides of the ratio run on
  // the same platform.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const std::string_view figure = argv[1];
  try {
    if (figure == "startup") return Exit(corvane::bench::RunStartupBench());

    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    if (figure == "latency") return Exit(corvane::bench::RunLatencyBench());
    if (figure == "idle") return Exit(corvane::bench::RunIdleBench());
    if (figure == "throughput") return Exit(corvane::bench::RunThroughputBench());
    if (figure == "startstop") return Exit(corvane::bench::RunStartStopBench());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", argv[1], error.what());
    return kGoalMissed;
  }
  std::fprintf(stderr, "unknown figure %s\n", argv[1]);
  return kUsage;
}
