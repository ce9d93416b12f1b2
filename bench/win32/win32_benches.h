// The Windows program's benchmarks, run under Wine by scripts/bench.sh. Each
// prints its row (figure_table.h), ratios only: Wine's absolute times say
// nothing about Windows. `label` names the build, such as "Windows 64-bit".
#pragma once

#include <windows.h>

#include <string>

namespace corvane::bench {

bool RunStartupBench(const std::string& label);
bool RunIdleBench(HINSTANCE instance, const std::string& label);

}  // namespace corvane::bench
