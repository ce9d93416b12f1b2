// Writes the entry points called to calls.log in the current folder, afresh at each load; of card
// fetches, only one after TvxStop. Two ports script a reader:
//   STORM  two threads notify cards and statuses under a handle not Start's until TvxStop or
//          TvxUninitialize, which end them first;
//   CLOSE  (Windows) an error is notified and the window closed before the program could
//          deliver it, as by an operator quick on Alt+F4.
// CORVANE_RECORDING_SELECTED names the USB port, so a benchmark can start a storm with real input.
#if defined(_WIN32)
#include <windows.h>
#endif

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>
#include <mutex>
#include <string>
#include <vector>

#include "tavrix.h"
#include "tavrix_port_names.h"

namespace {

constexpr const char* kLogName = "calls.log";
constexpr int32_t kStartedHandle = 1;
constexpr int32_t kNotifyingHandle = 2;

std::mutex g_logMutex;
std::atomic<bool> g_storming{false};
std::atomic<bool> g_stopped{false};
std::vector<std::future<void>> g_notifiers;  // touched by the caller's thread only

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

// Ends the storm and waits for its threads; one stuck 30 s aborts with a message.
void EndNotifiers() {
  g_storming = false;
  for (std::future<void>& notifier : g_notifiers) {
    if (notifier.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
      std::fputs("recording reader library: a notification has not returned\n", stderr);
      std::abort();
    }
  }
  g_notifiers.clear();
}

#if defined(_WIN32)
BOOL CALLBACK CloseIfVisible(HWND window, LPARAM) {
  if (!IsWindowVisible(window)) return TRUE;
  SendNotifyMessageW(window, WM_CLOSE, 0, 0);
  return FALSE;
}
#endif

[[maybe_unused]] const bool g_logStarted = [] {
  if (FILE* log = std::fopen(kLogName, "w")) std::fclose(log);
  return true;
}();

}  // namespace

extern "C" {

TVX_EXPORT int32_t TVX_CALL TvxInitialize(void) { return Record(__func__, TVX_OK); }
TVX_EXPORT int32_t TVX_CALL TvxUninitialize(void) {
  Record(__func__, TVX_OK);
  EndNotifiers();
  return TVX_OK;
}
TVX_EXPORT int32_t TVX_CALL TvxPortsAvailable(char* text, int32_t* length) {
  static const std::string ports =
      std::string(tavrix::kUsbPort.narrow) + ',' + tavrix::kSimPort.narrow + ",STORM,CLOSE";
  return Record(__func__, Answer(ports.c_str(), text, length));
}
TVX_EXPORT int32_t TVX_CALL TvxUSBCOMPort(char* text, int32_t* length) {
  const char* selected = std::getenv("CORVANE_RECORDING_SELECTED");
  return Record(__func__, Answer(selected ? selected : tavrix::kUsbPort.narrow, text, length));
}
TVX_EXPORT int32_t TVX_CALL TvxStartCallBack(const char* port, TvxNotify notify, int32_t) {
  Record(__func__, kStartedHandle);
  g_stopped = false;
  if (std::strcmp(port, "STORM") == 0 && !g_storming) {
    g_storming = true;
    for (const int32_t event : {TVX_EVENT_CARD, TVX_EVENT_READING}) {
      g_notifiers.push_back(std::async(std::launch::async, [notify, event] {
        for (int32_t count = 0; g_storming; ++count) notify(kNotifyingHandle, event, count, count);
      }));
    }
  } else if (std::strcmp(port, "CLOSE") == 0) {
#if defined(_WIN32)
    const DWORD caller = GetCurrentThreadId();
#endif
    g_notifiers.push_back(std::async(std::launch::async, [&] {
      notify(kStartedHandle, TVX_EVENT_ERROR, 0, 0);
#if defined(_WIN32)
      // The caller's window closed as the operator would close it; sent from
      // this thread, so that it comes before anything the program has posted.
      EnumThreadWindows(caller, CloseIfVisible, 0);
#endif
    }));
    EndNotifiers();
  }
  return kStartedHandle;
}
// Written down on entry, so that a test sees when the program's Stop got here.
TVX_EXPORT int32_t TVX_CALL TvxStop(int32_t) {
  Record(__func__, TVX_OK);
  EndNotifiers();
  g_stopped = true;
  return TVX_OK;
}
TVX_EXPORT int32_t TVX_CALL TvxGetLastCardData(int32_t, char* text, int32_t* length) {
  if (g_stopped) Record("TvxGetLastCardData after TvxStop", TVX_OK);
  return Answer("0420012345678", text, length);
}
TVX_EXPORT int32_t TVX_CALL TvxGetLastError(int32_t, char* text, int32_t* length) {
  return Record(__func__, Answer("Errore registrato", text, length));
}

// Entry points these scenarios never reach: each answers that it failed.
TVX_EXPORT int32_t TVX_CALL TvxGetVersion(char*, int32_t*) { return Record(__func__, TVX_FAILED); }
TVX_EXPORT int32_t TVX_CALL TvxStart(const char*) { return Record(__func__, TVX_FAILED); }

}  // extern "C"
