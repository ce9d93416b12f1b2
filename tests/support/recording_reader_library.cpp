// A reader library that reads no reader and writes the name of each entry
// point it is called through, one a line, to calls.log in the current folder,
// afresh at each load, so that a test of the real program can see afterwards
// what it called. It lists USB, SIM and two ports that script a reader:
//   STORM  two threads notify as fast as they can, under a handle other than
//          the one Start returned, cards and statuses with a running count,
//          until TvxStop or TvxUninitialize, which end them before returning;
//   CLOSE  (Windows) an error is notified and the window is closed before
//          the program could deliver it, as by an operator quick on Alt+F4.
// Any other port starts at once and notifies nothing. Card fetches are many in
// a storm: only one after TvxStop has returned is written down. The port named
// as USB, which the program selects, is USB, or CORVANE_RECORDING_SELECTED
// when set, so that a benchmark can start a storm with real input alone.
#if defined(_WIN32)
#include <windows.h>
#endif

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tavrix.h"
#include "tavrix_port_names.h"

namespace {

// In the current folder, which the test makes the program's own.
constexpr const char* kLogName = "calls.log";
constexpr int32_t kStartedHandle = 1;
constexpr int32_t kNotifyingHandle = 2;
constexpr int kStormThreads = 2;

std::mutex g_logMutex;
std::atomic<bool> g_storming{false};
std::atomic<bool> g_stopped{false};
std::vector<std::thread> g_storm;  // touched by the caller's thread only

void StartLog() {
  if (FILE* log = std::fopen(kLogName, "w")) std::fclose(log);
}

int32_t Record(const char* entryPoint, int32_t result) {
  const std::lock_guard lock(g_logMutex);
  if (FILE* log = std::fopen(kLogName, "a")) {
    std::fprintf(log, "%s\n", entryPoint);
    std::fclose(log);
  }
  return result;
}

int32_t Answer(const char* text, char* buffer, int32_t* length) {
  const auto needed = static_cast<int32_t>(std::strlen(text)) + 1;
  const bool fits = *length >= needed;
  if (fits) std::memcpy(buffer, text, static_cast<std::size_t>(needed));
  *length = needed;
  return fits ? TVX_OK : TVX_BUFFER_TOO_SMALL;
}

int32_t Offer(const char* entryPoint, const char* text, char* buffer, int32_t* length) {
  return Record(entryPoint, Answer(text, buffer, length));
}

// One thread notifies cards, the other statuses.
void Storm(TvxNotify notify, int32_t thread) {
  const int32_t event = thread == 0 ? TVX_EVENT_CARD : TVX_EVENT_READING;
  for (int32_t count = 0; g_storming; ++count) notify(kNotifyingHandle, event, count, count);
}

void EndStorm() {
  g_storming = false;
  for (std::thread& thread : g_storm) thread.join();
  g_storm.clear();
}

#if defined(_WIN32)
BOOL CALLBACK CloseIfVisible(HWND window, LPARAM) {
  if (!IsWindowVisible(window)) return TRUE;
  SendNotifyMessageW(window, WM_CLOSE, 0, 0);
  return FALSE;
}
#endif

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
TVX_EXPORT int32_t TVX_CALL TvxUninitialize(void) {
  Record(__func__, TVX_OK);
  EndStorm();
  return TVX_OK;
}
TVX_EXPORT int32_t TVX_CALL TvxPortsAvailable(char* text, int32_t* length) {
  static const std::string ports =
      std::string(tavrix::kUsbPort.narrow) + ',' + tavrix::kSimPort.narrow + ",STORM,CLOSE";
  return Offer(__func__, ports.c_str(), text, length);
}
TVX_EXPORT int32_t TVX_CALL TvxUSBCOMPort(char* text, int32_t* length) {
  const char* selected = std::getenv("CORVANE_RECORDING_SELECTED");
  return Offer(__func__, selected != nullptr ? selected : tavrix::kUsbPort.narrow, text, length);
}
TVX_EXPORT int32_t TVX_CALL TvxStartCallBack(const char* port, TvxNotify notify, int32_t) {
  Record(__func__, kStartedHandle);
  g_stopped = false;
  if (std::strcmp(port, "STORM") == 0 && g_storm.empty()) {
    g_storming = true;
    for (int32_t thread = 0; thread < kStormThreads; ++thread) {
      g_storm.emplace_back(Storm, notify, thread);
    }
  } else if (std::strcmp(port, "CLOSE") == 0) {
#if defined(_WIN32)
    const DWORD caller = GetCurrentThreadId();
#endif
    std::thread([&] {
      notify(kStartedHandle, TVX_EVENT_ERROR, 0, 0);
#if defined(_WIN32)
      // The caller's window closed as the operator would close it; sent from
      // this thread, so that it comes before anything the program has posted.
      EnumThreadWindows(caller, CloseIfVisible, 0);
#endif
    }).join();
  }
  return kStartedHandle;
}
// Written down on entry, so that a test sees when the program's Stop got here.
TVX_EXPORT int32_t TVX_CALL TvxStop(int32_t) {
  Record(__func__, TVX_OK);
  EndStorm();
  g_stopped = true;
  return TVX_OK;
}
TVX_EXPORT int32_t TVX_CALL TvxGetLastCardData(int32_t, char* text, int32_t* length) {
  if (g_stopped) Record("TvxGetLastCardData after TvxStop", TVX_OK);
  return Answer("0420012345678", text, length);
}
TVX_EXPORT int32_t TVX_CALL TvxGetLastError(int32_t, char* text, int32_t* length) {
  return Offer(__func__, "Errore registrato", text, length);
}

// Entry points these scenarios never reach: each answers that it failed.
#define UNREACHED(name, ...) \
  TVX_EXPORT int32_t TVX_CALL name(__VA_ARGS__) { return Record(#name, TVX_FAILED); }
UNREACHED(TvxGetVersion, char*, int32_t*)
UNREACHED(TvxStart, const char*)

}  // extern "C"
