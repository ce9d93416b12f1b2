// corvane_bench_win32 FIGURE LABEL: runs one benchmark of the Windows
// program and prints its row. FIGURE is startup or idle; LABEL names
// the build in the row.
#include <windows.h>

#include <cstdio>
#include <exception>
#include <string>

#include "win32_benches.h"

namespace {

constexpr int kUsage = 2;
constexpr int kGoalMissed = 1;

int Exit(bool met) { return met ? 0 : kGoalMissed; }

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s startup|idle LABEL\n", argv[0]);
    return kUsage;
  }
  const std::string figure = argv[1];
  const std::string label = argv[2];
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  try {
    if (figure == "startup") return Exit(corvane::bench::RunStartupBench(label));
    if (figure == "idle") return Exit(corvane::bench::RunIdleBench(instance, label));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", argv[1], error.what());
    return kGoalMissed;
  }
  std::fprintf(stderr, "unknown figure %s\n", argv[1]);
  return kUsage;
}
