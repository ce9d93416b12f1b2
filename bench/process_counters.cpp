#include "process_counters.h"

#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace corvane::bench {
namespace {

std::size_t EntriesIn(const char* folder) {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

std::chrono::microseconds ToMicroseconds(const timeval& time) {
  return std::chrono::seconds(time.tv_sec) + std::chrono::microseconds(time.tv_usec);
}

}  // namespace

std::size_t ThreadCount() { return EntriesIn("/proc/self/task"); }

std::size_t OpenDescriptorCount() {
  // The listing holds one descriptor of its own while it runs.
  return EntriesIn("/proc/self/fd") - 1;
}

std::size_t ResidentBytes(const std::string& process) {
  std::ifstream statm("/proc/" + process + "/statm");
  std::size_t sizePages = 0;
  std::size_t residentPages = 0;
  statm >> sizePages >> residentPages;
  return residentPages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

std::chrono::microseconds ProcessCpuTime() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return ToMicroseconds(usage.ru_utime) + ToMicroseconds(usage.ru_stime);
}

std::map<long, std::chrono::nanoseconds> CpuTimeByThread() {
  // schedstat rather than stat: stat counts in clock ticks of 10 ms, too
  // coarse to tell a thread that never ran from one that ran for 9 ms.
  std::map<long, std::chrono::nanoseconds> times;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream schedstat(task.path() / "schedstat");
    long long onCpu = 0;
    if (schedstat >> onCpu) {
      times[std::stol(task.path().filename().string())] = std::chrono::nanoseconds(onCpu);
    }
  }
  return times;
}

std::chrono::microseconds ThreadCpuTime() {
  rusage usage{};
  ::getrusage(RUSAGE_THREAD, &usage);
  return ToMicroseconds(usage.ru_utime) + ToMicroseconds(usage.ru_stime);
}

}  // namespace corvane::bench
