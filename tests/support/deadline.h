// Every wait in a test ends: a fault shows as a failure with a message, not as
// a test that CTest ends minutes later. Deadlines are generous for sanitizers.
#pragma once

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <thread>

namespace corvane::testing {

inline constexpr std::chrono::seconds kDeadline{15};

// Polls `done` every millisecond; false when it still fails at the deadline.
template <typename Condition>
bool PollUntil(Condition done) {
  const auto deadline = std::chrono::steady_clock::now() + kDeadline;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// Runs `work` on a thread of its own, as the library's, and `meanwhile` on this
// one; false, the thread left behind, when `work` misses the deadline.
template <typename Work>
bool OnOtherThread(Work work, const std::function<void()>& meanwhile = {}) {
  auto done = std::make_shared<std::promise<void>>();
  std::future<void> finished = done->get_future();
  std::thread thread([work, done] {
    work();
    done->set_value();
  });
  if (meanwhile) meanwhile();
  const bool returned = finished.wait_for(kDeadline) == std::future_status::ready;
  returned ? thread.join() : thread.detach();
  return returned;
}

}  // namespace corvane::testing
