// What one reader tells the program: its notifications and the texts the
// program fetches for them; and how any text is handed over.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "tavrix.h"

namespace tavrix {

// Out-texts: a caller's buffer and a length passed by reference. On the way
// in the length is the buffer's capacity, room for the NUL included; on the
// way out it is the number of bytes written, NUL included. Nothing is ever
// written at or past the capacity.

// Copies as much of `text` as fits, always NUL-terminated. TVX_FAILED for a
// null pointer or a capacity below 1.
int32_t CopyOutText(std::string_view text, char* buffer, int32_t* length);

// Copies `text` only when all of it fits; otherwise sets the length needed and
// answers TVX_BUFFER_TOO_SMALL, so a caller can ask with a null buffer or a
// length of 0 first. TVX_FAILED for a null length.
int32_t OfferOutText(std::string_view text, char* buffer, int32_t* length);

// Outlives the reader (the library keeps it after Stop) because the program
// may fetch card data for a notification that was queued just before Stop.
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
