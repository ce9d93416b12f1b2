// The library's state across entry points: whether it is initialised, the
// running readers by handle, and the texts of readers stopped a moment ago.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>
#include <utility>
#include <vector>

#include "reader.h"

namespace tavrix {

class LibraryState {
 public:
  // How many stopped readers still answer for their last texts.
  static constexpr std::size_t kRememberedStopped = 64;

  static LibraryState& Instance();

  LibraryState() = default;
  // Stops what is still running, so no thread calls into a program that is
  // ending.
  ~LibraryState();
  LibraryState(const LibraryState&) = delete;
  LibraryState& operator=(const LibraryState&) = delete;

  int32_t Initialize();
  int32_t Uninitialize();

  // A new handle, or TVX_FAILED / TVX_PORT_UNUSABLE.
  int32_t Start(std::string_view port, TvxNotify notify, int32_t userData);
  int32_t Stop(int32_t handle);

  // The output of a running or recently stopped reader; null when unknown.
  std::shared_ptr<ReaderOutput> Find(int32_t handle) const;

 private:
  using Readers = std::vector<std::unique_ptr<Reader>>;

  void Remember(const std::shared_ptr<ReaderOutput>& output);
  // With m_mutex held: silences `reader`, asks it to stop, and puts it where
  // it will be waited for: in `toJoin`, which the caller destroys outside the
  // lock (notifications may call back in), or, on a reader thread, in
  // m_unjoined.
  void RetireLocked(std::unique_ptr<Reader> reader, Readers& toJoin);
  // With m_mutex held: moves m_unjoined into `toJoin`, except on a reader
  // thread.
  void TakeUnjoinedLocked(Readers& toJoin);

  mutable std::mutex m_mutex;
  bool m_initialized = false;
  int32_t m_lastHandle = 0;
  std::map<int32_t, std::unique_ptr<Reader>> m_running;
  std::deque<std::shared_ptr<ReaderOutput>> m_stopped;
  // Readers stopped on a reader thread, which must not wait for them (the
  // notification it would wait for may be waiting for it). Their threads end
  // on their own and are joined by the next Start, Stop or Uninitialize from
  // outside the library.
  Readers m_unjoined;
};

}  // namespace tavrix
