// Badges as a serial reader sends them, each one different from the one
// before so the library reports every one as a new arrival.
#pragma once

#include <cstdint>
#include <string>

namespace corvane::bench {

struct BenchBadge {
  std::string frame;   // as the shared frame builder makes it
  std::string batch;   // what Text1 shows for it
  std::string serial;  // what Text2 shows for it
};

BenchBadge MakeBadge(uint32_t number);

}  // namespace corvane::bench
