#include "badge_frames.h"

#include <array>
#include <cstdio>

namespace corvane::bench {

BenchBadge MakeBadge(uint32_t number) {
  // The batch byte cycles too, so a badge shown under the wrong batch is seen.
  const std::array<uint8_t, 5> id = {
      static_cast<uint8_t>(number % 251), static_cast<uint8_t>(number >> 24),
      static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 8),
      static_cast<uint8_t>(number)};
  uint8_t checksum = 0;
  for (const uint8_t byte : id) checksum ^= byte;

  char body[16];
  std::snprintf(body, sizeof body, "%02X%02X%02X%02X%02X%02X", id[0], id[1], id[2], id[3], id[4],
                checksum);
  char batch[8];
  std::snprintf(batch, sizeof batch, "%03u", static_cast<unsigned>(id[0]));
  char serial[16];
  std::snprintf(serial, sizeof serial, "%010u", static_cast<unsigned>(number));
  return {std::string("\x02") + body + "\x03", batch, serial};
}

}  // namespace corvane::bench
