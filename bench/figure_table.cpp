#include "figure_table.h"

#include <cstdio>

namespace corvane::bench {

void PrintRow(const FigureRow& row) {
  std::printf("%s\t%s\t%s\t%s\t%s\t%s\n", row.figure.c_str(), row.value.c_str(), row.floor.c_str(),
              row.ratio.c_str(), row.goal.c_str(), !row.met ? "-" : (*row.met ? "yes" : "NO"));
  std::fflush(stdout);
}

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string Ratio(double value, double floor) {
  if (floor == 0) return "-";
  return Fixed(value / floor, 2) + "x";
}

}  // namespace corvane::bench
