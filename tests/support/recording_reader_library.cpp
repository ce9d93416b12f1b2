// A reader library that reads no reader and writes the name of each entry
// point it is called through, one a line, to calls.log in the current folder,
// afresh at each load. It lists USB and SIM and starts reading on any port at
// once, so a test of the real program can see afterwards what it called.
#if defined(_WIN32)
#include <windows.h>
#endif

#include <cstdio>
#include <cstring>

#include "tavrix.h"

namespace {

// In the current folder, which the test makes the program's own.
constexpr const char* kLogName = "calls.log";

void StartLog() {
  if (FILE* log = std::fopen(kLogName, "w")) std::fclose(log);
}

int32_t Record(const char* entryPoint, int32_t result) {
  if (FILE* log = std::fopen(kLogName, "a")) {
    std::fprintf(log, "%s\n", entryPoint);
    std::fclose(log);
  }
  return result;
}

int32_t Offer(const char* entryPoint, const char* text, char* buffer, int32_t* length) {
  const auto needed = static_cast<int32_t>(std::strlen(text)) + 1;
  const bool fits = *length >= needed;
  if (fits) std::memcpy(buffer, text, static_cast<std::size_t>(needed));
  *length = needed;
  return Record(entryPoint, fits ? TVX_OK : TVX_BUFFER_TOO_SMALL);
}

}  // namespace

#if defined(_WIN32)
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) StartLog();
  return TRUE;
}
#else
__attribute__((constructor)) void OnLoad() { StartLog(); }
#endif

extern "C" {

TVX_EXPORT int32_t TVX_CALL TvxInitialize(void) { return Record(__func__, TVX_OK); }
TVX_EXPORT int32_t TVX_CALL TvxUninitialize(void) { return Record(__func__, TVX_OK); }
TVX_EXPORT int32_t TVX_CALL TvxPortsAvailable(char* text, int32_t* length) {
  return Offer(__func__, "USB,SIM", text, length);
}
TVX_EXPORT int32_t TVX_CALL TvxUSBCOMPort(char* text, int32_t* length) {
  return Offer(__func__, "USB", text, length);
}
TVX_EXPORT int32_t TVX_CALL TvxStartCallBack(const char*, TvxNotify, int32_t) {
  return Record(__func__, 1);
}
TVX_EXPORT int32_t TVX_CALL TvxStop(int32_t) { return Record(__func__, TVX_OK); }

// Entry points these scenarios never reach: each answers that it failed.
#define UNREACHED(name, ...) \
  TVX_EXPORT int32_t TVX_CALL name(__VA_ARGS__) { return Record(#name, TVX_FAILED); }
UNREACHED(TvxGetLastError, int32_t, char*, int32_t*)
UNREACHED(TvxGetLastCardData, int32_t, char*, int32_t*)
UNREACHED(TvxGetVersion, char*, int32_t*)
UNREACHED(TvxStart, const char*)

}  // extern "C"
