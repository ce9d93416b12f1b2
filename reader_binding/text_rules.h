// Text helpers shared by the binding and the window: 1-based character ranges
// and the ANSI conversions used toward the library.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

// Characters start .. start + count - 1 of `text`, counting from 1. A text that
// ends earlier gives what exists; a start beyond the end, a start below 1 or a
// count of 0 or less gives the empty text.
std::wstring Characters(std::wstring_view text, int64_t start, int64_t count);

// Unicode to the library's 8-bit encoding (the ANSI code page on Windows, the
// locale's encoding elsewhere). Characters that do not fit become '?'.
std::string ToAnsi(std::wstring_view text);

// The library's 8-bit encoding back to Unicode. Undecodable bytes become
// U+FFFD; decoding never reads beyond `bytes`.
std::wstring FromAnsi(std::string_view bytes);

// How many bytes of an out-text buffer of `capacity` bytes to keep when the
// library reports `length` (which counts the NUL): length - 1 clamped to
// 0..capacity.
std::size_t KeptBytes(int32_t length, std::size_t capacity);

}  // namespace corvane
