// The rows the benchmarks report. Each benchmark process prints its rows as
// tab-separated lines on stdout; scripts/bench.sh gathers them into one table.
#pragma once

#include <optional>
#include <string>

namespace corvane::bench {

struct FigureRow {
  std::string figure;
  std::string value;
  std::string floor;
  std::string ratio;
  std::string goal;
  std::optional<bool> met;  // nothing: a figure reported without a goal
};

void PrintRow(const FigureRow& row);

// Fixed-point text of `value` with `decimals` places.
std::string Fixed(double value, int decimals);
// value / floor as "1.23x", or "-" when the floor is zero.
std::string Ratio(double value, double floor);

}  // namespace corvane::bench
