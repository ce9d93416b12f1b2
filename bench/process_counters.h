// What this process (or another, by pid) holds right now, read from the kernel.
#pragma once

#include <chrono>
#include <cstddef>
#include <map>
#include <string>

namespace corvane::bench {

std::size_t ThreadCount();
std::size_t OpenDescriptorCount();
// `process` is a pid, or "self".
std::size_t ResidentBytes(const std::string& process = "self");
// User plus system CPU time of the whole process, every thread included.
std::chrono::microseconds ProcessCpuTime();
// User plus system CPU time of the calling thread.
std::chrono::microseconds ThreadCpuTime();
// CPU time of each thread of the process, by thread id.
std::map<long, std::chrono::nanoseconds> CpuTimeByThread();

}  // namespace corvane::bench
