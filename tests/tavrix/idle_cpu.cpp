// Measures what a running serial reader costs while no badge comes: starts
// one on a pseudo-terminal through the entry points, waits, and prints the
// process's CPU time. Usage: tavrix_idle_cpu [seconds]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "pty_pair.h"
#include "tavrix/tavrix.h"

namespace {

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

int32_t TVX_CALL Ignore(int32_t, int32_t, int32_t, int32_t) { return 0; }

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
  corvane::testing::PtyPair pty;
  if (TvxInitialize() != TVX_OK) return 1;
  const int32_t reader = TvxStartCallBack(pty.SlavePath().c_str(), &Ignore, 0);
  if (reader <= 0) {
    std::fprintf(stderr, "cannot start a reader on %s: %d\n", pty.SlavePath().c_str(), reader);
    return 1;
  }
  const double before = CpuSeconds();
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  const double spent = CpuSeconds() - before;
  TvxStop(reader);
  TvxUninitialize();
  std::printf("idle reader on %s: %.3f ms CPU over %d s\n", pty.SlavePath().c_str(), spent * 1000.0,
              seconds);
  return 0;
}
