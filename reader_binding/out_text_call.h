// The out-text convention, from the program's side: one way to call an entry
// point that writes text into a buffer the program hands it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "text_rules.h"

namespace corvane {

// Calls `call(buffer, &length)` with `text` as an ANSI buffer that has room
// for a NUL after its last character, then keeps only the bytes the library
// vouched for, so neither side can read or write past the buffer. `length`
// goes in as the buffer's size and comes back as the library set it.
template <typename Call>
int32_t WithOutText(std::wstring& text, int32_t& length, Call call) {
  std::string buffer = ToAnsi(text);
  const std::size_t capacity = buffer.size();
  buffer.push_back('\0');
  const int32_t result = call(buffer.data(), &length);
  text = FromAnsi(std::string_view(buffer.data(), KeptBytes(length, capacity)));
  return result;
}

}  // namespace corvane
