// From the bytes a serial badge reader sends to reads, and from reads to
// badges coming and going.
//
// Two formats share the line: STX, 10 hex digits of badge identifier, 2 hex
// digits of XOR checksum over its 5 bytes, an optional CR LF, ETX; and plain
// text lines ended by CR, LF or CRLF, which are card data as they stand.
// Pure: no I/O, and time only as the caller gives it, so it can be driven
// byte by byte from tests and fuzzers.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrix {

// A badge's 5-byte identifier.
using BadgeId = std::array<uint8_t, 5>;

// Exactly 10 hex digits (either case) to the identifier; anything else fails.
std::optional<BadgeId> ParseHexBadgeId(std::string_view hex);

// The 13 characters of card data the program splits into batch and serial
// number: the first byte as 3 decimal digits, the other four as one
// big-endian 32-bit number in 10 decimal digits, leading zeros kept.
std::string FormatCardData(const BadgeId& id);

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

// Whether a badge is in the reader's field. Readers resend a badge every half
// second or so while it stays in the field; the operator wants one read per
// presentation and to know when the badge is gone.
class BadgePresence {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kDefaultLeaveAfter{1200};

  struct Change {
    bool previousLeft = false;  // report the earlier badge as gone first
    bool arrived = false;       // report this badge as read
  };

  explicit BadgePresence(Clock::duration leaveAfter = kDefaultLeaveAfter)
      : m_leaveAfter(leaveAfter) {}

  Change OnBadge(const std::string& cardData, Clock::time_point now);

  // True once, when the badge in the field has not been repeated for the
  // leave time.
  bool OnTime(Clock::time_point now);

  // When OnTime will report the badge gone; nothing when no badge is in.
  std::optional<Clock::time_point> LeaveDeadline() const;

  // The port went away: nothing is known to be in the field any more.
  void Forget() { m_present.reset(); }

 private:
  Clock::duration m_leaveAfter;
  std::optional<std::string> m_present;
  Clock::time_point m_lastSeen{};
};

}  // namespace tavrix
