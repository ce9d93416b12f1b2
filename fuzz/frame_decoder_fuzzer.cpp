// The frame decoder on any serial input: in bounds, the same reads however cut, each well formed.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

#include "frame_decoder.h"

using tavrix::DecodedRead;
using tavrix::FrameDecoder;

// A failed property is a finding: stop at once so libFuzzer saves the input.
#define FUZZ_CHECK(condition) \
  if (!(condition)) std::fprintf(stderr, "property failed: %s\n", #condition), std::abort()

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  // The first byte picks how the second pass cuts the stream.
  if (size == 0) return 0;
  const std::size_t chunk = std::size_t{data[0]} % 17 + 1;
  const std::string_view stream(reinterpret_cast<const char*>(data) + 1, size - 1);
  FrameDecoder whole, pieces;
  const std::vector<DecodedRead> reads = whole.Feed(stream);
  std::vector<DecodedRead> pieceReads;
  for (std::size_t at = 0; at < stream.size(); at += chunk) {
    std::ranges::copy(pieces.Feed(stream.substr(at, chunk)), std::back_inserter(pieceReads));
  }
  FUZZ_CHECK(reads == pieceReads);

  static const std::regex kCardData("[0-9]{13}|[ -~]{1," + std::to_string(FrameDecoder::kMaxLine) +
                                    "}");
  for (const auto& read : reads) {
    FUZZ_CHECK(read.kind == DecodedRead::Kind::BadRead
                   ? read.cardData.empty()
                   : std::regex_match(read.cardData, kCardData));
  }
  return 0;
}
