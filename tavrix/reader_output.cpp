#include "reader_output.h"

namespace tavrix {

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
