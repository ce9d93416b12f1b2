// The reader library as the window calls it.
//
// Module1 implements this over the loaded library; tests give the window a
// scripted fake. Texts are Unicode here; the ANSI conversion and the out-text
// convention live in the implementation, so the window never sees a raw buffer.
#pragma once

#include <cstdint>
#include <string>

#include "tavrix.h"

namespace corvane {

class ReaderLibrary {
 public:
  virtual ~ReaderLibrary() = default;

  // Whether the library file has been loaded (by an earlier call).
  virtual bool IsLoaded() const = 0;

  virtual int32_t TvxInitialize() = 0;
  virtual int32_t TvxUninitialize() = 0;

  // Out-texts: `text` goes in as the buffer's content (normally N spaces) and
  // `length` as N. On return `length` is what the library set and `text` holds
  // the characters kept from the buffer: at most length - 1 bytes, clamped to
  // 0..N, decoded.
  virtual int32_t TvxPortsAvailable(std::wstring& text, int32_t& length) = 0;
  virtual int32_t TvxUSBCOMPort(std::wstring& text, int32_t& length) = 0;
  virtual int32_t TvxGetLastError(int32_t reader, std::wstring& text, int32_t& length) = 0;
  virtual int32_t TvxGetLastCardData(int32_t reader, std::wstring& text, int32_t& length) = 0;
  virtual int32_t TvxGetVersion(std::wstring& text, int32_t& length) = 0;

  virtual int32_t TvxStartCallBack(const std::wstring& port, TvxNotify notify,
                                   int32_t userData) = 0;
  virtual int32_t TvxStop(int32_t reader) = 0;
  virtual int32_t TvxStart(const std::wstring& port) = 0;
};

}  // namespace corvane
