#include "storm_library.h"

#include "reader_callback.h"

namespace corvane::bench {

StormLibrary::StormLibrary(ReaderLibrary& real) : m_real(real) {
  for (int32_t thread = 0; thread < kThreads; ++thread) {
    m_threads.emplace_back([this, thread] { Flood(thread); });
  }
}

StormLibrary::~StormLibrary() {
  {
    const std::lock_guard lock(m_mutex);
    m_ending = true;
  }
  m_aimed.notify_all();
  for (std::thread& thread : m_threads) thread.join();
}

void StormLibrary::Aim(int32_t reader) {
  {
    const std::lock_guard lock(m_mutex);
    m_target = reader;
  }
  m_aimed.notify_all();
}

void StormLibrary::Flood(int32_t thread) {
  std::atomic<bool>& inCall = m_inCall[static_cast<std::size_t>(thread)];
  for (uint32_t step = 0; !m_ending; ++step) {
    // Marked before the target is read: Cease, which clears the target first,
    // then sees either the mark or a thread that will read no target.
    inCall = true;
    const int32_t reader = m_target;
    if (reader > 0) {
      const auto lparam = static_cast<int32_t>(step % kDistinctPerThread);
      ReaderCallBack(reader, TVX_EVENT_CARD, thread * kDistinctPerThread + lparam, 0);
      ++m_sent;
    }
    inCall = false;
    if (reader <= 0) {
      std::unique_lock lock(m_mutex);
      m_aimed.wait(lock, [this] { return m_ending || m_target > 0; });
    }
  }
}

void StormLibrary::Cease() {
  m_target = 0;
  for (const std::atomic<bool>& inCall : m_inCall) {
    while (inCall) std::this_thread::yield();
  }
}

int32_t StormLibrary::TvxUninitialize() {
  Cease();
  return m_real.TvxUninitialize();
}

int32_t StormLibrary::TvxGetLastCardData(int32_t reader, std::wstring& text, int32_t& length) {
  ++m_fetched;
  if (m_stopped.count(reader) != 0) ++m_fetchedAfterStop;
  return m_real.TvxGetLastCardData(reader, text, length);
}

int32_t StormLibrary::TvxStartCallBack(const std::wstring& port, TvxNotify notify,
                                       int32_t userData) {
  m_lastStarted = m_real.TvxStartCallBack(port, notify, userData);
  // A handle may be given out again once its reader has stopped.
  m_stopped.erase(m_lastStarted);
  return m_lastStarted;
}

int32_t StormLibrary::TvxStop(int32_t reader) {
  if (reader == m_target) Cease();
  const int32_t result = m_real.TvxStop(reader);
  m_stopped.insert(reader);
  return result;
}

}  // namespace corvane::bench
