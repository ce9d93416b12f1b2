// Builds what a badge reader sends, for tests.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "tavrix/card_format.h"

namespace tavrix::testing {

// STX, the identifier, its XOR checksum, `beforeEtx`, ETX.
inline std::string Frame(std::string_view hex, std::string_view beforeEtx = "") {
  uint8_t sum = 0;
  const BadgeId id = ParseHexBadgeId(hex).value();
  for (uint8_t byte : id) sum ^= byte;
  char check[3] = {};
  std::snprintf(check, sizeof check, "%02X", static_cast<unsigned>(sum));
  return "\x02" + std::string(hex) + check + std::string(beforeEtx) + "\x03";
}

}  // namespace tavrix::testing
