#include "badge_frames.h"

#include <cstdio>

#include "frames.h"

namespace corvane::bench {

BenchBadge MakeBadge(uint32_t number) {
  // The batch byte cycles too, so a badge shown under the wrong batch is seen.
  const unsigned batch = number % 251;
  char hex[16];
  std::snprintf(hex, sizeof hex, "%02X%08X", batch, static_cast<unsigned>(number));
  char shownBatch[8];
  std::snprintf(shownBatch, sizeof shownBatch, "%03u", batch);
  char shownSerial[16];
  std::snprintf(shownSerial, sizeof shownSerial, "%010u", static_cast<unsigned>(number));
  return {testing::Frame(hex), shownBatch, shownSerial};
}

}  // namespace corvane::bench
