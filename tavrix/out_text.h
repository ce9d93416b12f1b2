// Out-texts: a caller's buffer and a length passed by reference. On the way
// in the length is the buffer's capacity, room for the NUL included; on the
// way out it is the number of bytes written, NUL included. Nothing is ever
// written at or past the capacity.
#pragma once

#include <cstdint>
#include <string_view>

namespace tavrix {

// Copies as much of `text` as fits, always NUL-terminated. TVX_FAILED for a
// null pointer or a capacity below 1.
int32_t CopyOutText(std::string_view text, char* buffer, int32_t* length);

// Copies `text` only when all of it fits; otherwise sets the length needed and
// answers TVX_BUFFER_TOO_SMALL, so a caller can ask with a null buffer or a
// length of 0 first. TVX_FAILED for a null length.
int32_t OfferOutText(std::string_view text, char* buffer, int32_t* length);

}  // namespace tavrix
