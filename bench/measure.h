// What every benchmark shares: its rows, which scripts/bench.sh gathers into
// one table, order statistics, and what the kernel says a process has spent
// and holds. Processes are named by their /proc folder, which a program
// under Wine reaches as Z:\proc.
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

struct Row {
  std::string figure;
  std::string value;
  std::string floor;
  std::string ratio;
  std::string goal;
  std::optional<bool> met;  // nothing: a figure kept for the record
};

// One tab-separated line on stdout; returns whether the row's goal, if any, was met.
inline bool Print(const Row& row) {
  std::printf("%s\t%s\t%s\t%s\t%s\t%s\n", row.figure.c_str(), row.value.c_str(), row.floor.c_str(),
              row.ratio.c_str(), row.goal.c_str(), !row.met ? "-" : (*row.met ? "yes" : "NO"));
  std::fflush(stdout);
  return row.met.value_or(true);
}

inline std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

inline std::string Ratio(double value, double floor) {
  return floor == 0 ? "-" : Fixed(value / floor, 2) + "x";
}

// The nearest-rank percentile (0 < percent <= 100); 0 for no samples.
inline double Percentile(std::vector<double> samples, double percent) {
  if (samples.empty()) return 0;
  const auto rank = static_cast<std::size_t>(std::ceil(percent / 100 * samples.size()));
  const auto at = samples.begin() +
                  static_cast<std::ptrdiff_t>(std::clamp<std::size_t>(rank, 1, samples.size()) - 1);
  std::nth_element(samples.begin(), at, samples.end());
  return *at;
}

inline double Median(std::vector<double> samples) { return Percentile(std::move(samples), 50); }

inline double ResidentMb(const std::filesystem::path& process) {
  constexpr double kPageMb = 4096.0 / (1024 * 1024);  // x86-64 Linux, the only host here
  std::ifstream statm(process / "statm");
  double sizePages = 0;
  double residentPages = 0;
  statm >> sizePages >> residentPages;
  return residentPages * kPageMb;
}

// CPU time of each thread of the process, in ms, by thread id. The kernel's
// schedstat counts nanoseconds; its stat and Windows' GetProcessTimes count
// 10 ms ticks, too coarse for seconds of idling.
inline std::map<std::string, double> CpuMsByThread(const std::filesystem::path& process) {
  std::map<std::string, double> ms;
  std::error_code error;
  for (const auto& thread : std::filesystem::directory_iterator(process / "task", error)) {
    std::ifstream schedstat(thread.path() / "schedstat");
    double onCpuNs = 0;
    if (schedstat >> onCpuNs) ms[thread.path().filename().string()] = onCpuNs / 1e6;
  }
  return ms;
}

inline double CpuMs(const std::filesystem::path& process) {
  double sum = 0;
  for (const auto& [thread, ms] : CpuMsByThread(process)) sum += ms;
  return sum;
}

}  // namespace corvane::bench
