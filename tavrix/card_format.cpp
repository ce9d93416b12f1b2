#include "card_format.h"

#include <cstdio>

namespace tavrix {

int HexDigitValue(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
  if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
  return -1;
}

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

}  // namespace tavrix
