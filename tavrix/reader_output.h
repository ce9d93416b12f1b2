// What one reader tells the program: its notifications and the texts the
// program fetches for them.
//
// Outlives the reader (the library keeps it after Stop) because the program
// may fetch card data for a notification that was queued just before Stop.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "tavrix.h"

namespace tavrix {

class ReaderOutput {
 public:
  // A null `notify` makes a reader that is only polled.
  ReaderOutput(TvxNotify notify, int32_t userData) : m_notify(notify), m_userData(userData) {}
  ReaderOutput(const ReaderOutput&) = delete;
  ReaderOutput& operator=(const ReaderOutput&) = delete;

  // Set once, before the reader's thread starts.
  void SetHandle(int32_t handle) { m_handle = handle; }
  int32_t Handle() const { return m_handle; }

  // Each stores its text first, so the program finds it when the
  // notification arrives.
  void Reading();
  void Card(std::string cardData);
  void BadRead();
  void CardGone();
  void Error(std::string text);

  // No notification starts after this returns.
  void Silence() { m_silenced.store(true); }

  std::optional<std::string> LastCardData() const;
  std::string LastError() const;

 private:
  void Notify(int32_t event);

  const TvxNotify m_notify;
  const int32_t m_userData;
  int32_t m_handle = 0;
  std::atomic<bool> m_silenced{false};
  // Guards only the texts; never held while the program is notified.
  mutable std::mutex m_textMutex;
  std::optional<std::string> m_lastCardData;
  std::string m_lastError;
};

}  // namespace tavrix
