/* The reader library's C interface.
 *
 * The maker's library exports exactly these entry points, so the program loads
 * either that file or our stand-in unchanged: every argument and result is a
 * signed 32-bit integer or a pointer, the names are undecorated, and on Windows
 * both the entry points and the notification function are __stdcall. */
#ifndef TAVRIX_TAVRIX_H
#define TAVRIX_TAVRIX_H

#include <stdint.h>

#if defined(_WIN32)
#define TVX_CALL __stdcall
#else
#define TVX_CALL
#endif

#if defined(TAVRIX_BUILDING_LIBRARY)
#if defined(_WIN32)
#define TVX_EXPORT __declspec(dllexport)
#else
#define TVX_EXPORT __attribute__((visibility("default")))
#endif
#else
#define TVX_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Event codes passed as the second value of a notification. */
enum {
  TVX_EVENT_BAD_READ = 5,  /* a badge was seen but its frame was damaged */
  TVX_EVENT_ERROR = 6,     /* the port failed; the text is in TvxGetLastError */
  TVX_EVENT_CARD = 7,      /* a badge was read; the data is in TvxGetLastCardData */
  TVX_EVENT_READING = 8,   /* the reader is (again) reading */
  TVX_EVENT_CARD_GONE = 9  /* the badge left the field */
};

/* Results other than a positive reader handle. */
enum {
  TVX_OK = 0,
  TVX_FAILED = -1,
  TVX_PORT_UNUSABLE = -2,
  TVX_BUFFER_TOO_SMALL = -3
};

typedef int32_t(TVX_CALL* TvxNotify)(int32_t reader, int32_t event, int32_t lparam,
                                     int32_t userData);

TVX_EXPORT int32_t TVX_CALL TvxInitialize(void);
/* Stops every reader as TvxStop would on the calling thread. Called on a
 * thread that is not the library's, it also waits for the readers stopped on
 * reader threads, so that no thread of the library is left when it returns. */
TVX_EXPORT int32_t TVX_CALL TvxUninitialize(void);
TVX_EXPORT int32_t TVX_CALL TvxPortsAvailable(char* text, int32_t* length);
TVX_EXPORT int32_t TVX_CALL TvxUSBCOMPort(char* text, int32_t* length);
TVX_EXPORT int32_t TVX_CALL TvxStartCallBack(const char* port, TvxNotify notify,
                                             int32_t userData);
/* Stops a reader; its texts stay fetchable a while. Called off the library's threads, it (and
 * TvxUninitialize) returns once the reader's thread has ended: no notification of it comes after.
 * Inside a notification it never waits for another reader's (two stopping each other would hang):
 * no new notification starts, and a later start, stop or uninitialize from outside joins it.
 * Never spins, nor holds a lock the UI thread could wait on while a notification is in flight. */
TVX_EXPORT int32_t TVX_CALL TvxStop(int32_t reader);
TVX_EXPORT int32_t TVX_CALL TvxGetLastError(int32_t reader, char* text, int32_t* length);
TVX_EXPORT int32_t TVX_CALL TvxGetLastCardData(int32_t reader, char* text, int32_t* length);
TVX_EXPORT int32_t TVX_CALL TvxGetVersion(char* text, int32_t* length);
TVX_EXPORT int32_t TVX_CALL TvxStart(const char* port);

#ifdef __cplusplus
}
#endif

/* The file name the program loads. */
#if defined(_WIN32)
#define TAVRIX_FILE_NAME "Tavrix.dll"
#elif defined(__APPLE__)
#define TAVRIX_FILE_NAME "libTavrix.dylib"
#else
#define TAVRIX_FILE_NAME "libTavrix.so"
#endif

#endif
