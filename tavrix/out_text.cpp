#include "out_text.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "tavrix.h"

namespace tavrix {

int32_t CopyOutText(std::string_view text, char* buffer, int32_t* length) {
  if (buffer == nullptr || length == nullptr || *length < 1) return TVX_FAILED;
  const std::size_t kept = std::min(text.size(), static_cast<std::size_t>(*length) - 1);
  std::memcpy(buffer, text.data(), kept);
  buffer[kept] = '\0';
  *length = static_cast<int32_t>(kept + 1);
  return TVX_OK;
}

int32_t OfferOutText(std::string_view text, char* buffer, int32_t* length) {
  if (length == nullptr) return TVX_FAILED;
  if (text.size() >= static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
    return TVX_FAILED;
  }
  const auto needed = static_cast<int32_t>(text.size() + 1);
  if (buffer == nullptr || *length < needed) {
    *length = needed;
    return TVX_BUFFER_TOO_SMALL;
  }
  return CopyOutText(text, buffer, length);
}

}  // namespace tavrix
