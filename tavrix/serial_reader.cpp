#include "serial_reader.h"

namespace tavrix {

std::string LostPortText(const std::string& port) {
  return "Connessione persa con il lettore sulla porta " + port;
}

void SerialReaderBase::Run() {
  Output()->Reading();
  while (!StopRequested()) {
    if (PortOpen()) {
      if (!ReadUntilLost()) return;
      LoseThePort();
      continue;
    }
    if (WaitForStop(kReopenInterval)) return;
    if (Reopen()) Output()->Reading();
  }
}

void SerialReaderBase::Feed(std::string_view bytes) {
  for (const auto& read : m_decoder.Feed(bytes)) Report(read);
}

void SerialReaderBase::CheckLeave() {
  if (m_presence.OnTime(BadgePresence::Clock::now())) Output()->CardGone();
}

int64_t SerialReaderBase::LeaveTimeoutMs() const {
  const auto deadline = m_presence.LeaveDeadline();
  if (!deadline) return -1;
  const auto left =
      std::chrono::ceil<std::chrono::milliseconds>(*deadline - BadgePresence::Clock::now());
  return left.count() < 0 ? 0 : left.count();
}

void SerialReaderBase::Report(const DecodedRead& read) {
  if (read.kind == DecodedRead::Kind::BadRead) {
    Output()->BadRead();
    return;
  }
  const auto change = m_presence.OnBadge(read.cardData, BadgePresence::Clock::now());
  if (change.previousLeft) Output()->CardGone();
  if (change.arrived) Output()->Card(read.cardData);
}

// The port is closed and a badge that was in the field is forgotten: after a
// reconnection the same badge is a new read.
void SerialReaderBase::LoseThePort() {
  ClosePort();
  m_decoder.Reset();
  m_presence.Forget();
  Output()->Error(LostPortText(m_portName));
}

}  // namespace tavrix
