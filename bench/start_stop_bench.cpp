// Start/Stop: 10,000 cycles of the Start and Stop buttons on "SIM" and on a
// pseudo-terminal. Threads and descriptors are counted before and after; a
// cycle that hangs trips the stall guard. The floor is what a reader cannot do
// without: a thread started and joined (and, for the terminal, the port
// opened and closed).
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "benches.h"
#include "figure_table.h"
#include "process_counters.h"
#include "pty_pair.h"
#include "stall_guard.h"
#include "tavrix_port_names.h"
#include "window_under_test.h"

namespace corvane::bench {
namespace {

using testing::PtyPair;

using Clock = std::chrono::steady_clock;

constexpr int kCycles = 10000;
constexpr int kWarmUpCycles = 10;

double MicrosecondsPerCycle(const std::function<void()>& cycle) {
  const auto started = Clock::now();
  for (int count = 0; count < kCycles; ++count) cycle();
  return std::chrono::duration<double, std::micro>(Clock::now() - started).count() / kCycles;
}

bool CycleOn(WindowUnderTest& window, const std::string& label, const std::string& port,
             const std::function<void()>& floorCycle) {
  StallGuard guard("Start/Stop on " + label, std::chrono::seconds(240));
  window.ChoosePort(port);
  int refusedStarts = 0;
  const auto cycle = [&] {
    window.ClickStart();
    if (!window.Reading()) ++refusedStarts;
    window.ClickStop();
    // Notifications queued by the reader before Stop are delivered (and
    // dropped or shown) every cycle, as the operator's event loop would.
    QCoreApplication::processEvents();
  };
  for (int count = 0; count < kWarmUpCycles; ++count) cycle();
  const std::size_t threadsBefore = ThreadCount();
  const std::size_t descriptorsBefore = OpenDescriptorCount();

  const double value = MicrosecondsPerCycle(cycle);
  QCoreApplication::processEvents();
  const long threadsGained = static_cast<long>(ThreadCount()) - static_cast<long>(threadsBefore);
  const long descriptorsGained =
      static_cast<long>(OpenDescriptorCount()) - static_cast<long>(descriptorsBefore);
  const double floor = MicrosecondsPerCycle(floorCycle);

  const std::string cycles = std::to_string(kCycles);
  PrintRow({"Start/Stop on " + label + ", " + cycles + " cycles (us/cycle)", Fixed(value, 1),
            Fixed(floor, 1), Ratio(value, floor), "-", std::nullopt});
  const bool met = threadsGained == 0 && descriptorsGained == 0 && refusedStarts == 0 &&
                   window.Problems().isEmpty();
  PrintRow({"Start/Stop on " + label + ": threads, descriptors gained; starts refused",
            std::to_string(threadsGained) + ", " + std::to_string(descriptorsGained) + "; " +
                std::to_string(refusedStarts),
            "-", "-", "0, 0; 0 and no hang", met});
  if (!window.Problems().isEmpty()) {
    std::fprintf(stderr, "Start/Stop on %s: %s\n", label.c_str(),
                 qPrintable(window.Problems().join("; ")));
  }
  return met;
}

void StartAndJoinThread() {
  std::thread([] {}).join();
}

}  // namespace

bool RunStartStopBench() {
  PtyPair pty;
  WindowUnderTest window;
  const bool simMet = CycleOn(window, "SIM", tavrix::kSimPort.narrow, &StartAndJoinThread);
  const bool ptyMet = CycleOn(window, "a pseudo-terminal", pty.SlavePath(), [&] {
    ::close(pty.OpenRawSlave());
    StartAndJoinThread();
  });
  return simMet && ptyMet;
}

}  // namespace corvane::bench
