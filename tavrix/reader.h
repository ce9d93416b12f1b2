// A reader: one thread that watches a badge source and reports through its
// ReaderOutput until it is stopped; and "SIM", the reader with no hardware
// behind it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "reader_output.h"

namespace tavrix {

class Reader {
 public:
  explicit Reader(std::shared_ptr<ReaderOutput> output) : m_output(std::move(output)) {}
  // Derived readers call Stop() in their own destructor, while Wake() still
  // reaches them.
  virtual ~Reader();
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  void Start();

  // After this returns no notification of this reader starts. Never waits,
  // so it is safe under the library's lock and on any reader's thread.
  void RequestStop();
  // RequestStop, then Join: for callers free to wait, such as destructors.
  void Stop();
  // Waits for the thread to end, unless called on that thread.
  void Join();
  bool OnOwnThread() const { return std::this_thread::get_id() == m_thread.get_id(); }

  // True on the thread of any reader, where waiting for a reader could wait
  // for a notification that is itself waiting for this one.
  static bool OnReaderThread();

  const std::shared_ptr<ReaderOutput>& Output() const { return m_output; }

 protected:
  virtual void Run() = 0;
  // Interrupts a thread blocked somewhere other than WaitForStop.
  virtual void Wake() {}

  bool StopRequested() const;
  // Waits for `duration` or a stop, whichever comes first; true on a stop.
  bool WaitForStop(std::chrono::steady_clock::duration duration);

 private:
  void RunGuarded();

  std::shared_ptr<ReaderOutput> m_output;
  mutable std::mutex m_stopMutex;
  std::condition_variable m_stopChanged;
  bool m_stopRequested = false;
  std::thread m_thread;
};

// "SIM", so the whole program can be shown and tried on a machine without a
// badge reader. It plays a fixed, repeating sequence: a badge every period,
// held in the field for half of it, and now and then a bad read.
class SimReader final : public Reader {
 public:
  static constexpr std::chrono::milliseconds kDefaultPeriod{2000};

  SimReader(std::shared_ptr<ReaderOutput> output,
            std::chrono::steady_clock::duration period = kDefaultPeriod)
      : Reader(std::move(output)), m_period(period) {}
  ~SimReader() override { Stop(); }

  // One presentation each: 10 hex digits of badge identifier, or empty for a
  // bad read.
  static const std::vector<std::string_view>& Sequence();

 protected:
  void Run() override;

 private:
  std::chrono::steady_clock::duration m_period;
};

}  // namespace tavrix
