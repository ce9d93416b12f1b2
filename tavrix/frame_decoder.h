// Turns the bytes a serial badge reader sends into reads.
//
// Two formats share the line: STX, 10 hex digits of badge identifier, 2 hex
// digits of XOR checksum over its 5 bytes, an optional CR LF, ETX; and plain
// text lines ended by CR, LF or CRLF, which are card data as they stand.
// Pure: no time, no I/O, so it can be driven byte by byte from tests and
// fuzzers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavrix {

struct DecodedRead {
  enum class Kind { Card, BadRead };
  Kind kind = Kind::Card;
  std::string cardData;  // empty for a bad read

  friend bool operator==(const DecodedRead&, const DecodedRead&) = default;
};

class FrameDecoder {
 public:
  static constexpr char kStx = '\x02';
  static constexpr char kEtx = '\x03';
  // 12 hex digits and CR LF: a frame body longer than this is broken.
  static constexpr std::size_t kMaxFrameBody = 14;
  // Longer text lines are noise, not badges.
  static constexpr std::size_t kMaxLine = 64;

  // Any split of the stream across calls gives the same reads.
  std::vector<DecodedRead> Feed(std::string_view bytes);

  // Forgets a half-received frame or line (the port was reopened).
  void Reset();

 private:
  void FeedFrameByte(char byte, std::vector<DecodedRead>& reads);
  void FeedLineByte(char byte, std::vector<DecodedRead>& reads);
  void StartFrame(std::vector<DecodedRead>& reads);

  bool m_inFrame = false;
  std::string m_frame;
  std::string m_line;
  // The current line held noise or overflowed: drop it at its end.
  bool m_lineSpoiled = false;
};

// A complete frame body (between STX and ETX) to card data, or nothing when
// it is malformed or its checksum is wrong.
std::string DecodeFrameBody(std::string_view body);

}  // namespace tavrix
