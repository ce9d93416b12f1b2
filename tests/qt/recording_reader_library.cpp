// A reader library that answers every call with success and appends the name
// of each entry point called, one per line, to the file the test names in
// CORVANE_TEST_CALL_LOG: so a test of the real executable can see which calls
// the program made, and in what order.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tavrix.h"

#define RECORDED extern "C" __attribute__((visibility("default")))

namespace {

int32_t Record(const char* call) {
  if (const char* path = std::getenv("CORVANE_TEST_CALL_LOG")) {
    if (std::FILE* log = std::fopen(path, "a")) {
      std::fprintf(log, "%s\n", call);
      std::fclose(log);
    }
  }
  return TVX_OK;
}

int32_t Answer(const char* call, const char* text, char* buffer, int32_t* length) {
  Record(call);
  const auto needed = static_cast<int32_t>(std::strlen(text)) + 1;
  if (*length < needed) {
    *length = needed;
    return TVX_BUFFER_TOO_SMALL;
  }
  std::memcpy(buffer, text, static_cast<std::size_t>(needed));
  *length = needed;
  return TVX_OK;
}

}  // namespace

RECORDED int32_t TVX_CALL TvxInitialize(void) { return Record("TvxInitialize"); }
RECORDED int32_t TVX_CALL TvxUninitialize(void) { return Record("TvxUninitialize"); }
RECORDED int32_t TVX_CALL TvxPortsAvailable(char* text, int32_t* length) {
  return Answer("TvxPortsAvailable", "USB,SIM", text, length);
}
RECORDED int32_t TVX_CALL TvxUSBCOMPort(char* text, int32_t* length) {
  return Answer("TvxUSBCOMPort", "USB", text, length);
}
RECORDED int32_t TVX_CALL TvxStartCallBack(const char*, TvxNotify, int32_t) {
  Record("TvxStartCallBack");
  return 1;
}
RECORDED int32_t TVX_CALL TvxStop(int32_t) { return Record("TvxStop"); }
RECORDED int32_t TVX_CALL TvxGetLastError(int32_t, char* text, int32_t* length) {
  return Answer("TvxGetLastError", "", text, length);
}
RECORDED int32_t TVX_CALL TvxGetLastCardData(int32_t, char* text, int32_t* length) {
  return Answer("TvxGetLastCardData", "", text, length);
}
RECORDED int32_t TVX_CALL TvxGetVersion(char* text, int32_t* length) {
  return Answer("TvxGetVersion", "1.00", text, length);
}
RECORDED int32_t TVX_CALL TvxStart(const char*) { return Record("TvxStart"); }
