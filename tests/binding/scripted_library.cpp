// A reader library for the binding's tests: its out-texts write what the test
// scripts and report whatever length the test chooses, and it lacks TvxStop,
// so the binding's handling of a missing entry point can be seen.
#include <algorithm>
#include <cstring>
#include <string>

#include "tavrix.h"

#if defined(_WIN32)
#define SCRIPTED_EXPORT extern "C" __declspec(dllexport)
#else
#define SCRIPTED_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {
std::string g_text;
int32_t g_bytesToWrite = 0;
int32_t g_reportedLength = 0;
int32_t g_lastCapacity = 0;
std::string g_lastPort;

int32_t Answer(char* text, int32_t* length) {
  g_lastCapacity = *length;
  const auto count = static_cast<std::size_t>(std::max(0, g_bytesToWrite));
  std::memcpy(text, g_text.data(), std::min(count, g_text.size()));
  text[count] = '\0';  // a library that fills all N still writes its NUL after them
  *length = g_reportedLength;
  return 0;
}
}  // namespace

// Scripts the next out-texts: write `bytesToWrite` bytes of `text`, then a NUL,
// and report `reportedLength`.
SCRIPTED_EXPORT void ScriptOutText(const char* text, int32_t bytesToWrite, int32_t reportedLength) {
  g_text = text;
  g_bytesToWrite = bytesToWrite;
  g_reportedLength = reportedLength;
}
SCRIPTED_EXPORT int32_t LastCapacity() { return g_lastCapacity; }
SCRIPTED_EXPORT const char* LastPort() { return g_lastPort.c_str(); }

SCRIPTED_EXPORT int32_t TVX_CALL TvxInitialize(void) { return 17; }
SCRIPTED_EXPORT int32_t TVX_CALL TvxUninitialize(void) { return 0; }
SCRIPTED_EXPORT int32_t TVX_CALL TvxPortsAvailable(char* text, int32_t* length) {
  return Answer(text, length);
}
SCRIPTED_EXPORT int32_t TVX_CALL TvxUSBCOMPort(char* text, int32_t* length) {
  return Answer(text, length);
}
SCRIPTED_EXPORT int32_t TVX_CALL TvxGetLastError(int32_t, char* text, int32_t* length) {
  return Answer(text, length);
}
SCRIPTED_EXPORT int32_t TVX_CALL TvxGetLastCardData(int32_t, char* text, int32_t* length) {
  return Answer(text, length);
}
SCRIPTED_EXPORT int32_t TVX_CALL TvxGetVersion(char* text, int32_t* length) {
  return Answer(text, length);
}
SCRIPTED_EXPORT int32_t TVX_CALL TvxStartCallBack(const char* port, TvxNotify, int32_t) {
  g_lastPort = port;
  return 3;
}
SCRIPTED_EXPORT int32_t TVX_CALL TvxStart(const char*) { return -1; }
