// Ends the benchmark process when a phase takes far longer than it can: a
// hang must show up as a failed figure, not as a run that never ends.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace corvane::bench {

class StallGuard {
 public:
  // After `limit` without being destroyed, prints a failed row for `figure`
  // and exits with status 3.
  StallGuard(std::string figure, std::chrono::seconds limit);
  ~StallGuard();
  StallGuard(const StallGuard&) = delete;
  StallGuard& operator=(const StallGuard&) = delete;

 private:
  std::mutex m_mutex;
  std::condition_variable m_done;
  bool m_finished = false;
  std::thread m_watcher;
};

}  // namespace corvane::bench
