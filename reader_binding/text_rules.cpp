#include "text_rules.h"

#include <algorithm>

#if defined(_WIN32)
#include <windows.h>
#else
#include <climits>
#include <cwchar>
#endif

namespace corvane {

std::wstring Characters(std::wstring_view text, int64_t start, int64_t count) {
  if (start < 1 || count <= 0 || start > static_cast<int64_t>(text.size())) return {};
  const auto offset = static_cast<std::size_t>(start - 1);
  const std::size_t available = text.size() - offset;
  // Compared in 64 bits: on a 32-bit build a huge count must not wrap to a small one.
  const auto wanted = static_cast<uint64_t>(count);
  const std::size_t taken = wanted < available ? static_cast<std::size_t>(wanted) : available;
  return std::wstring(text.substr(offset, taken));
}

std::size_t KeptBytes(int32_t length, std::size_t capacity) {
  if (length <= 1) return 0;
  return std::min(static_cast<std::size_t>(length) - 1, capacity);
}

#if defined(_WIN32)

std::string ToAnsi(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int needed =
      WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), size, ansi.data(), needed, nullptr, nullptr);
  return ansi;
}

std::wstring FromAnsi(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, wide.data(), needed);
  return wide;
}

#else

std::string ToAnsi(std::wstring_view text) {
  std::string ansi;
  ansi.reserve(text.size());
  std::mbstate_t state{};
  char encoded[MB_LEN_MAX];
  for (const wchar_t character : text) {
    const std::size_t written = std::wcrtomb(encoded, character, &state);
    if (written == static_cast<std::size_t>(-1)) {
      ansi.push_back('?');
      state = std::mbstate_t{};
    } else {
      ansi.append(encoded, written);
    }
  }
  return ansi;
}

std::wstring FromAnsi(std::string_view bytes) {
  std::wstring wide;
  wide.reserve(bytes.size());
  std::mbstate_t state{};
  std::size_t position = 0;
  while (position < bytes.size()) {
    wchar_t character = 0;
    const std::size_t used =
        std::mbrtowc(&character, bytes.data() + position, bytes.size() - position, &state);
    if (used == static_cast<std::size_t>(-1) || used == static_cast<std::size_t>(-2)) {
      // An invalid or cut-off sequence: one replacement character per byte.
      wide.push_back(L'\uFFFD');
      state = std::mbstate_t{};
      ++position;
    } else if (used == 0) {
      wide.push_back(L'\0');
      ++position;
    } else {
      wide.push_back(character);
      position += used;
    }
  }
  return wide;
}

#endif

}  // namespace corvane
