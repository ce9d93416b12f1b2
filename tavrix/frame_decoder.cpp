#include "frame_decoder.h"

#include <cstdio>

namespace tavrix {
namespace {

constexpr std::size_t kHexDigits = 12;

// The value of one hex digit, or -1.
int HexDigitValue(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
  if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
  return -1;
}

bool IsPrintable(char byte) { return byte >= 0x20 && byte <= 0x7e; }

DecodedRead BadRead() { return {DecodedRead::Kind::BadRead, {}}; }

}  // namespace

std::optional<BadgeId> ParseHexBadgeId(std::string_view hex) {
  BadgeId id{};
  if (hex.size() != id.size() * 2) return std::nullopt;
  for (std::size_t i = 0; i < id.size(); ++i) {
    const int high = HexDigitValue(hex[2 * i]);
    const int low = HexDigitValue(hex[2 * i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    id[i] = static_cast<uint8_t>(high * 16 + low);
  }
  return id;
}

std::string FormatCardData(const BadgeId& id) {
  const uint32_t serial =
      (uint32_t{id[1]} << 24) | (uint32_t{id[2]} << 16) | (uint32_t{id[3]} << 8) | uint32_t{id[4]};
  // 3 + 10 digits and the NUL; unsigned formats, so IDs at or above
  // 0x80000000 never turn negative.
  char text[14] = {};
  std::snprintf(text, sizeof text, "%03u%010u", static_cast<unsigned>(id[0]),
                static_cast<unsigned>(serial));
  return text;
}

std::string DecodeFrameBody(std::string_view body) {
  // Modules differ in whether they send CR LF before ETX; accept either line
  // end so a reader configured either way works.
  if (body.ends_with("\r\n")) {
    body.remove_suffix(2);
  } else if (body.ends_with('\r') || body.ends_with('\n')) {
    body.remove_suffix(1);
  }
  if (body.size() != kHexDigits) return {};
  const auto id = ParseHexBadgeId(body.substr(0, 10));
  const int checkHigh = HexDigitValue(body[10]);
  const int checkLow = HexDigitValue(body[11]);
  if (!id || checkHigh < 0 || checkLow < 0) return {};
  uint8_t sum = 0;
  for (uint8_t byte : *id) sum ^= byte;
  if (sum != checkHigh * 16 + checkLow) return {};
  return FormatCardData(*id);
}

std::vector<DecodedRead> FrameDecoder::Feed(std::string_view bytes) {
  std::vector<DecodedRead> reads;
  for (char byte : bytes) {
    if (byte == kStx) {
      StartFrame(reads);
    } else if (m_inFrame) {
      FeedFrameByte(byte, reads);
    } else {
      FeedLineByte(byte, reads);
    }
  }
  return reads;
}

void FrameDecoder::Reset() {
  m_inFrame = false;
  m_frame.clear();
  m_line.clear();
  m_lineSpoiled = false;
}

void FrameDecoder::StartFrame(std::vector<DecodedRead>& reads) {
  // A new STX inside a frame means the previous one was cut off: the reader
  // saw a badge but we lost part of it, which the operator should hear of.
  if (m_inFrame && !m_frame.empty()) reads.push_back(BadRead());
  m_inFrame = true;
  m_frame.clear();
  m_line.clear();
  m_lineSpoiled = false;
}

void FrameDecoder::FeedFrameByte(char byte, std::vector<DecodedRead>& reads) {
  if (byte == kEtx) {
    std::string card = DecodeFrameBody(m_frame);
    if (card.empty()) {
      reads.push_back(BadRead());
    } else {
      reads.push_back({DecodedRead::Kind::Card, std::move(card)});
    }
    m_inFrame = false;
    m_frame.clear();
    return;
  }
  if (m_frame.size() == kMaxFrameBody) {
    // No ETX where it had to be: report once and drop the rest up to the end
    // of the line, so the tail of the broken frame is not taken as text.
    reads.push_back(BadRead());
    m_inFrame = false;
    m_frame.clear();
    m_lineSpoiled = true;
    return;
  }
  m_frame.push_back(byte);
}

void FrameDecoder::FeedLineByte(char byte, std::vector<DecodedRead>& reads) {
  if (byte == '\r' || byte == '\n') {
    if (!m_line.empty() && !m_lineSpoiled) {
      reads.push_back({DecodedRead::Kind::Card, std::move(m_line)});
    }
    m_line.clear();
    m_lineSpoiled = false;
    return;
  }
  if (!IsPrintable(byte) || m_line.size() == kMaxLine) {
    m_lineSpoiled = true;
    return;
  }
  if (!m_lineSpoiled) m_line.push_back(byte);
}

BadgePresence::Change BadgePresence::OnBadge(const std::string& cardData, Clock::time_point now) {
  Change change;
  // A repeat that comes after the leave time is a new presentation, even when
  // the owner of the badge just tapped it again.
  if (OnTime(now)) change.previousLeft = true;
  if (m_present && *m_present != cardData) {
    change.previousLeft = true;
    m_present.reset();
  }
  if (!m_present) {
    change.arrived = true;
    m_present = cardData;
  }
  m_lastSeen = now;
  return change;
}

bool BadgePresence::OnTime(Clock::time_point now) {
  if (!m_present || now - m_lastSeen < m_leaveAfter) return false;
  m_present.reset();
  return true;
}

std::optional<BadgePresence::Clock::time_point> BadgePresence::LeaveDeadline() const {
  if (!m_present) return std::nullopt;
  return m_lastSeen + m_leaveAfter;
}

}  // namespace tavrix
