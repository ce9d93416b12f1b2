// A reader library that floods, as a misbehaving one could: every call goes
// to the real binding, and while aimed at a reader, four threads of its own
// call ReaderCallBack for that reader as fast as they can, with the same few
// card notifications over and over. It keeps the rest of the contract: once
// TvxStop has returned for a reader, none of its threads calls back for it.
// What the window then fetches tells what was delivered to it.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "reader_library.h"

namespace corvane::bench {

class StormLibrary final : public ReaderLibrary {
 public:
  static constexpr int kThreads = 4;
  // Each thread cycles through this many distinct notifications.
  static constexpr int32_t kDistinctPerThread = 16;

  explicit StormLibrary(ReaderLibrary& real);
  ~StormLibrary() override;
  StormLibrary(const StormLibrary&) = delete;
  StormLibrary& operator=(const StormLibrary&) = delete;

  // Floods card notifications of `reader` until its TvxStop. The reader must
  // have a card to fetch by then, or every delivery reports a failed fetch.
  void Aim(int32_t reader);
  // The reader the last TvxStartCallBack returned.
  int32_t LastStarted() const { return m_lastStarted; }

  // Card fetches the window made: one per card notification delivered.
  uint64_t CardsFetched() const { return m_fetched; }
  // Of those, the fetches for a reader whose TvxStop had returned.
  uint64_t FetchesAfterStop() const { return m_fetchedAfterStop; }
  // Notifications the storm's threads have made.
  uint64_t Sent() const { return m_sent; }

  bool IsLoaded() const override { return m_real.IsLoaded(); }
  int32_t TvxInitialize() override { return m_real.TvxInitialize(); }
  int32_t TvxUninitialize() override;
  int32_t TvxPortsAvailable(std::wstring& text, int32_t& length) override {
    return m_real.TvxPortsAvailable(text, length);
  }
  int32_t TvxUSBCOMPort(std::wstring& text, int32_t& length) override {
    return m_real.TvxUSBCOMPort(text, length);
  }
  int32_t TvxGetLastError(int32_t reader, std::wstring& text, int32_t& length) override {
    return m_real.TvxGetLastError(reader, text, length);
  }
  int32_t TvxGetLastCardData(int32_t reader, std::wstring& text, int32_t& length) override;
  int32_t TvxGetVersion(std::wstring& text, int32_t& length) override {
    return m_real.TvxGetVersion(text, length);
  }
  int32_t TvxStartCallBack(const std::wstring& port, TvxNotify notify, int32_t userData) override;
  int32_t TvxStop(int32_t reader) override;
  int32_t TvxStart(const std::wstring& port) override { return m_real.TvxStart(port); }

 private:
  void Flood(int32_t thread);
  // Ends the flood and returns once no storm call is under way.
  void Cease();

  ReaderLibrary& m_real;
  std::atomic<int32_t> m_target{0};  // 0: no flood
  std::array<std::atomic<bool>, kThreads> m_inCall{};
  std::atomic<bool> m_ending{false};
  std::mutex m_mutex;  // for m_aimed only
  std::condition_variable m_aimed;
  std::atomic<uint64_t> m_fetched{0};
  std::atomic<uint64_t> m_fetchedAfterStop{0};
  std::atomic<uint64_t> m_sent{0};
  // The window calls the library on its UI thread only: these need no lock.
  int32_t m_lastStarted = 0;
  std::set<int32_t> m_stopped;
  std::vector<std::thread> m_threads;
};

}  // namespace corvane::bench
