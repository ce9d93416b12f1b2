// A reader library whose card data is whatever the out-text fuzzer scripts:
// it writes up to the caller's capacity (never past it, as the convention
// promises) and reports any length at all.
#include <algorithm>
#include <cstring>
#include <string>

#include "tavrix.h"

#define SCRIPT_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
std::string g_bytes;
int32_t g_reportedLength = 0;
}  // namespace

SCRIPT_EXPORT void ScriptCardData(const char* bytes, int32_t count, int32_t reportedLength) {
  g_bytes.assign(bytes, static_cast<std::size_t>(std::max(count, 0)));
  g_reportedLength = reportedLength;
}

SCRIPT_EXPORT int32_t TvxGetLastCardData(int32_t, char* text, int32_t* length) {
  if (text == nullptr || length == nullptr || *length < 0) return TVX_FAILED;
  const std::size_t written = std::min(g_bytes.size(), static_cast<std::size_t>(*length));
  std::memcpy(text, g_bytes.data(), written);
  text[written] = '\0';  // the caller's buffer has room for the NUL after its capacity
  *length = g_reportedLength;
  return TVX_OK;
}
