// A reader: one thread that watches a badge source and reports through its
// ReaderOutput until it is stopped.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

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

}  // namespace tavrix
