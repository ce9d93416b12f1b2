// The frame decoder against arbitrary serial input split at arbitrary points:
// it must never read out of bounds, must give the same reads however the
// stream is split, and every read it gives must be well formed.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "frame_decoder.h"
#include "fuzz_check.h"

namespace {

bool IsCardDataOfAFrame(const std::string& card) {
  if (card.size() != 13) return false;
  for (const char digit : card) {
    if (digit < '0' || digit > '9') return false;
  }
  return true;
}

bool IsCardDataOfALine(const std::string& card) {
  if (card.empty() || card.size() > tavrix::FrameDecoder::kMaxLine) return false;
  for (const char byte : card) {
    if (byte < 0x20 || byte > 0x7e) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  // The first byte picks the chunk size of the second pass, so the fuzzer
  // controls how the stream is cut.
  if (size == 0) return 0;
  const std::size_t chunk = std::size_t{data[0]} % 17 + 1;
  const std::string_view stream(reinterpret_cast<const char*>(data) + 1, size - 1);

  tavrix::FrameDecoder whole;
  const std::vector<tavrix::DecodedRead> wholeReads = whole.Feed(stream);

  tavrix::FrameDecoder pieces;
  std::vector<tavrix::DecodedRead> pieceReads;
  for (std::size_t offset = 0; offset < stream.size(); offset += chunk) {
    for (auto& read : pieces.Feed(stream.substr(offset, chunk))) pieceReads.push_back(read);
  }
  FUZZ_CHECK(wholeReads == pieceReads);

  for (const auto& read : wholeReads) {
    if (read.kind == tavrix::DecodedRead::Kind::BadRead) {
      FUZZ_CHECK(read.cardData.empty());
    } else {
      FUZZ_CHECK(IsCardDataOfAFrame(read.cardData) || IsCardDataOfALine(read.cardData));
    }
  }

  // After a reset, a clean frame decodes whatever came before.
  whole.Reset();
  const auto afterReset = whole.Feed(
      "\x02"
      "0102030405"
      "01"
      "\x03");
  FUZZ_CHECK(afterReset.size() == 1 && afterReset[0].cardData == "0010033752069");
  return 0;
}
