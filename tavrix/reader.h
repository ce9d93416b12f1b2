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

  // After this returns no notification of this reader starts. Waits for the
  // thread to end, except on the reader's own thread (a notification that
  // stops its reader), where it answers false and the caller joins later.
  bool Stop();

  // Waits for a thread that was stopped from inside its own notification.
  void Join();
  bool OnOwnThread() const { return std::this_thread::get_id() == m_thread.get_id(); }

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
