// A reader library whose out-texts write what a test scripts and report
// whatever length it chooses. It has only the entry points the binding's test
// calls, and lacks TvxStop, so the handling of a missing one can be seen.
#include <algorithm>
#include <cstring>
#include <string>

#include "tavrix.h"

#define SCRIPTED_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
std::string g_bytes;
int32_t g_reportedLength = 0;
int32_t g_lastCapacity = 0;
std::string g_lastPort;
}  // namespace

// Scripts the next out-texts: the `count` bytes at `bytes`, NULs included,
// and the length to report.
SCRIPTED_EXPORT void ScriptOutText(const char* bytes, int32_t count, int32_t reportedLength) {
  g_bytes.assign(bytes, static_cast<std::size_t>(std::max(count, 0)));
  g_reportedLength = reportedLength;
}
SCRIPTED_EXPORT int32_t LastCapacity() { return g_lastCapacity; }
SCRIPTED_EXPORT const char* LastPort() { return g_lastPort.c_str(); }

SCRIPTED_EXPORT int32_t TVX_CALL TvxInitialize(void) { return 17; }
// As much as the capacity allows, and the NUL after it, as a library that
// fills all N does.
SCRIPTED_EXPORT int32_t TVX_CALL TvxUSBCOMPort(char* text, int32_t* length) {
  g_lastCapacity = *length;
  const std::size_t count =
      std::min(g_bytes.size(), static_cast<std::size_t>(std::max(*length, 0)));
  std::memcpy(text, g_bytes.data(), count);
  text[count] = '\0';
  *length = g_reportedLength;
  return 0;
}
SCRIPTED_EXPORT int32_t TVX_CALL TvxPortsAvailable(char* text, int32_t* length) {
  return TvxUSBCOMPort(text, length);
}
SCRIPTED_EXPORT int32_t TVX_CALL TvxStartCallBack(const char* port, TvxNotify, int32_t) {
  g_lastPort = port;
  return 3;
}
