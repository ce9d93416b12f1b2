// Start-up: from just before the process is created to its first window
// exposed and painted, for corvane and for a plain program showing the same
// ten widgets (the floor), taken in turns in the same run.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "benches.h"
#include "figure_table.h"
#include "sample_stats.h"
#include "stall_guard.h"

extern char** environ;

namespace corvane::bench {
namespace {

constexpr int kRunsEach = 20;
constexpr double kGoalRatio = 1.05;

long long MonotonicNanoseconds() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

std::filesystem::path BesideMe(const char* program) {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path() / program;
}

// From just before the process is created to the moment it reports its
// window exposed, in milliseconds.
double TimeToWindow(const std::filesystem::path& program) {
  int output[2];
  if (::pipe(output) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, output[0]);
  posix_spawn_file_actions_addclose(&actions, output[1]);

  const std::string path = program.string();
  char* arguments[] = {const_cast<char*>(path.c_str()), nullptr};
  const long long started = MonotonicNanoseconds();
  pid_t child = 0;
  const int spawned = ::posix_spawn(&child, path.c_str(), &actions, nullptr, arguments, environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(output[1]);
  if (spawned != 0) {
    ::close(output[0]);
    throw std::runtime_error("cannot start " + path);
  }

  std::string said;
  char chunk[256];
  for (ssize_t count; (count = ::read(output[0], chunk, sizeof chunk)) != 0;) {
    if (count > 0) said.append(chunk, static_cast<std::size_t>(count));
  }
  ::close(output[0]);
  int status = 0;
  ::waitpid(child, &status, 0);

  long long exposed = 0;
  if (std::sscanf(said.c_str(), "exposed %lld", &exposed) != 1 || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    throw std::runtime_error(path + " did not show its window (said: " + said + ")");
  }
  return static_cast<double>(exposed - started) / 1e6;
}

}  // namespace

bool RunStartupBench() {
  StallGuard guard("start-up to window shown", std::chrono::seconds(300));
  const auto program = BesideMe("bench_corvane_startup");
  const auto floorProgram = BesideMe("bench_plain_window");
  const auto emptyProgram = BesideMe("bench_empty_window");
  // Warm the page cache and the font cache for all before anything counts.
  TimeToWindow(program);
  TimeToWindow(floorProgram);
  TimeToWindow(emptyProgram);

  std::vector<double> programTimes;
  std::vector<double> floorTimes;
  std::vector<double> emptyTimes;
  // Alternating, so a noisy stretch of the machine hits all alike.
  for (int run = 0; run < kRunsEach; ++run) {
    programTimes.push_back(TimeToWindow(program));
    floorTimes.push_back(TimeToWindow(floorProgram));
    emptyTimes.push_back(TimeToWindow(emptyProgram));
  }
  const double value = Median(programTimes);
  const double floor = Median(floorTimes);
  const bool met = value <= floor * kGoalRatio;
  PrintRow({"start-up to window shown, median of " + std::to_string(kRunsEach) + " (ms)",
            Fixed(value, 1), Fixed(floor, 1), Ratio(value, floor), "<= 1.05x", met});
  // An empty window never loads the font database, which any window with
  // text does; against it the ratio mostly shows the cost of drawing text.
  const double emptyFloor = Median(emptyTimes);
  PrintRow({"  same, floor: an empty window (ms)", Fixed(value, 1), Fixed(emptyFloor, 1),
            Ratio(value, emptyFloor), "-", std::nullopt});
  return met;
}

}  // namespace corvane::bench
