// Order statistics of a set of timings.
#pragma once

#include <vector>

namespace corvane::bench {

// The nearest-rank percentile (0 < percent <= 100); 0 for no samples.
double Percentile(std::vector<double> samples, double percent);
inline double Median(std::vector<double> samples) { return Percentile(std::move(samples), 50); }

}  // namespace corvane::bench
