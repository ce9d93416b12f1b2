// What this process holds right now, read from the kernel.
#pragma once

#include <chrono>
#include <cstddef>
#include <map>

namespace corvane::bench {

std::size_t ThreadCount();
std::size_t OpenDescriptorCount();
std::size_t ResidentBytes();
// User plus system CPU time of the whole process, every thread included.
std::chrono::microseconds ProcessCpuTime();
// User plus system CPU time of the calling thread.
std::chrono::microseconds ThreadCpuTime();
// CPU time of each thread of the process, by thread id.
std::map<long, std::chrono::nanoseconds> CpuTimeByThread();

}  // namespace corvane::bench
