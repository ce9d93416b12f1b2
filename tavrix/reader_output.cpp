#include "reader_output.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace tavrix {

int32_t CopyOutText(std::string_view text, char* buffer, int32_t* length) {
  if (buffer == nullptr || length == nullptr || *length < 1) return TVX_FAILED;
  const std::size_t kept = std::min(text.size(), static_cast<std::size_t>(*length) - 1);
  std::memcpy(buffer, text.data(), kept);
  buffer[kept] = '\0';
  *length = static_cast<int32_t>(kept + 1);
  return TVX_OK;
}

int32_t OfferOutText(std::string_view text, char* buffer, int32_t* length) {
  if (length == nullptr) return TVX_FAILED;
  if (text.size() >= static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
    return TVX_FAILED;
  }
  const auto needed = static_cast<int32_t>(text.size() + 1);
  if (buffer == nullptr || *length < needed) {
    *length = needed;
    return TVX_BUFFER_TOO_SMALL;
  }
  return CopyOutText(text, buffer, length);
}

void ReaderOutput::Reading() { Notify(TVX_EVENT_READING); }

void ReaderOutput::Card(std::string cardData) {
  {
    std::lock_guard lock(m_textMutex);
    m_lastCardData = std::move(cardData);
  }
  Notify(TVX_EVENT_CARD);
}

void ReaderOutput::BadRead() { Notify(TVX_EVENT_BAD_READ); }

void ReaderOutput::CardGone() { Notify(TVX_EVENT_CARD_GONE); }

void ReaderOutput::Error(std::string text) {
  {
    std::lock_guard lock(m_textMutex);
    m_lastError = std::move(text);
  }
  Notify(TVX_EVENT_ERROR);
}

std::optional<std::string> ReaderOutput::LastCardData() const {
  std::lock_guard lock(m_textMutex);
  return m_lastCardData;
}

std::string ReaderOutput::LastError() const {
  std::lock_guard lock(m_textMutex);
  return m_lastError;
}

void ReaderOutput::Notify(int32_t event) {
  if (m_notify == nullptr || m_silenced.load()) return;
  m_notify(m_handle, event, 0, m_userData);
}

}  // namespace tavrix
