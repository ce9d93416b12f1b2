#include "frame_decoder.h"

#include "card_format.h"

namespace tavrix {
namespace {

constexpr std::size_t kHexDigits = 12;

bool IsPrintable(char byte) { return byte >= 0x20 && byte <= 0x7e; }

DecodedRead BadRead() { return {DecodedRead::Kind::BadRead, {}}; }

}  // namespace

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

}  // namespace tavrix
