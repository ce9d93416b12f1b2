// A badge's 5-byte identifier and the 13 characters of card data the program
// splits into batch and serial number.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavrix {

using BadgeId = std::array<uint8_t, 5>;

// Exactly 10 hex digits (either case) to the identifier; anything else fails.
std::optional<BadgeId> ParseHexBadgeId(std::string_view hex);

// The first byte as 3 decimal digits, the other four as one big-endian
// 32-bit number in 10 decimal digits, leading zeros kept.
std::string FormatCardData(const BadgeId& id);

// The value of one hex digit, or -1.
int HexDigitValue(char digit);

}  // namespace tavrix
