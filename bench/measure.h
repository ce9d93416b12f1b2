// What the benchmarks share: rows for scripts/bench.sh's table, order statistics, and
// what a process spent and holds, from its /proc folder (Z:\proc under Wine).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace corvane::bench {

enum ExitStatus { kGoalsMet, kGoalMissed, kBroken };  // how scripts/bench.sh reads the end

// One row, tab-separated; true unless its goal was missed. No `met`: for the record.
inline bool Print(const std::string& figure, const std::string& value, const std::string& floor,
                  const std::string& ratio, const std::string& goal, std::optional<bool> met) {
  std::printf("%s\t%s\t%s\t%s\t%s\t%s\n", figure.c_str(), value.c_str(), floor.c_str(),
              ratio.c_str(), goal.c_str(), !met ? "-" : (*met ? "yes" : "NO"));
  std::fflush(stdout);
  return met.value_or(true);
}

inline std::string Fixed(double value, int decimals) {
  char text[64];
  return {text,
          static_cast<std::size_t>(std::snprintf(text, sizeof text, "%.*f", decimals, value))};
}

inline std::string Ratio(double value, double floor) { return Fixed(value / floor, 2) + "x"; }

// The nearest-rank percentile, 0 < percent <= 100, of at least one sample.
inline double Percentile(std::vector<double> samples, double percent) {
  const auto rank = static_cast<std::ptrdiff_t>(std::ceil(percent / 100 * samples.size()));
  const auto at = samples.begin() + std::max<std::ptrdiff_t>(rank, 1) - 1;
  std::nth_element(samples.begin(), at, samples.end());
  return *at;
}

inline double Median(std::vector<double> samples) { return Percentile(std::move(samples), 50); }

// Medians of `runs` of each in turns, so that a busy stretch lands on both, after
// one of each that warms the caches.
template <typename Value, typename Floor>
std::pair<double, double> MediansInTurns(int runs, Value value, Floor floor) {
  std::vector<double> values;
  std::vector<double> floors;
  for (int run = 0; run <= runs; ++run) values.push_back(value()), floors.push_back(floor());
  return {Median({values.begin() + 1, values.end()}), Median({floors.begin() + 1, floors.end()})};
}

inline double ResidentMb(const std::filesystem::path& process) {
  double pages[2] = {};  // all, resident
  std::ifstream(process / "statm") >> pages[0] >> pages[1];
  return pages[1] * 4096 / (1024 * 1024);  // x86-64 pages
}

// CPU ms of each thread by id: schedstat counts nanoseconds, while stat and Windows'
// GetProcessTimes count 10 ms ticks, too coarse for seconds of idling.
inline std::map<std::string, double> CpuMsByThread(const std::filesystem::path& process) {
  std::map<std::string, double> ms;
  std::error_code error;
  for (const auto& thread : std::filesystem::directory_iterator(process / "task", error)) {
    double onCpuNs = 0;
    if (std::ifstream(thread.path() / "schedstat") >> onCpuNs) {
      ms[thread.path().filename().string()] = onCpuNs / 1e6;
    }
  }
  return ms;
}

inline double CpuMs(const std::filesystem::path& process) {
  double sum = 0;
  for (const auto& [thread, ms] : CpuMsByThread(process)) sum += ms;
  return sum;
}

}  // namespace corvane::bench
