#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace corvane::testing {

// STX, ten hex digits, their XOR checksum as two hex digits, `beforeEtx`, ETX:
// what a 125 kHz reader module sends for one badge.
inline std::string Frame(std::string_view hex, std::string_view beforeEtx = "") {
  unsigned long sum = 0;
  for (std::size_t at = 0; at + 1 < hex.size(); at += 2) {
    sum ^= std::stoul(std::string(hex.substr(at, 2)), nullptr, 16);
  }
  char check[3];
  std::snprintf(check, sizeof check, "%02lX", sum);
  return '\x02' + std::string(hex) + check + std::string(beforeEtx) + '\x03';
}

}  // namespace corvane::testing
