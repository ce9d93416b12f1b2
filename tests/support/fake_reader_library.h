// A scripted reader library for the window's tests. Its out-texts go through the binding's own
// out-text call, tested in tests/binding, so the window gets what Module1 would hand it.
#pragma once

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "library_loader.h"
#include "out_text_call.h"
#include "reader_callback.h"
#include "reader_library.h"
#include "text_rules.h"

namespace corvane::testing {

struct ScriptedOutText {
  int32_t result = 0;
  std::optional<std::string> written = {};  // the bytes the library writes; nothing when empty
};

class FakeReaderLibrary final : public ReaderLibrary {
 public:
  std::vector<std::wstring> calls;  // each with its port or its numbers
  // Calls whose text starts with this throw, as for an entry point the file lacks.
  std::optional<std::wstring> missing;
  bool loaded = true;

  int32_t initializeResult = 0;
  std::wstring portList;
  int32_t sizingResult = TVX_BUFFER_TOO_SMALL;
  std::optional<int32_t> sizingLength;  // default: the list's length + NUL
  ScriptedOutText fillPorts;            // `written` defaults to portList's
  ScriptedOutText usbName{0, "USB"};
  ScriptedOutText lastError{0, "Porta persa"};
  ScriptedOutText lastCard{0, "0101234567890"};
  int32_t startResult = 5;
  TvxNotify lastStartNotify = nullptr;
  int32_t lastStartUserData = -1;

  bool IsLoaded() const override { return loaded; }
  int32_t TvxInitialize() override { return Call(L"TvxInitialize", initializeResult); }
  int32_t TvxUninitialize() override { return Call(L"TvxUninitialize"); }
  int32_t TvxPortsAvailable(std::wstring& text, int32_t& length) override {
    Call(L"TvxPortsAvailable(" + std::to_wstring(length) + L")");
    if (length == 0) {
      length = sizingLength.value_or(static_cast<int32_t>(portList.size()) + 1);
      return sizingResult;
    }
    return Answer({fillPorts.result, fillPorts.written.value_or(ToAnsi(portList))}, text, length);
  }
  int32_t TvxUSBCOMPort(std::wstring& text, int32_t& length) override {
    Call(L"TvxUSBCOMPort(" + std::to_wstring(length) + L")");
    return Answer(usbName, text, length);
  }
  int32_t TvxGetLastError(int32_t reader, std::wstring& text, int32_t& length) override {
    Call(L"TvxGetLastError(" + std::to_wstring(reader) + L"," + std::to_wstring(length) + L")");
    return Answer(lastError, text, length);
  }
  int32_t TvxGetLastCardData(int32_t reader, std::wstring& text, int32_t& length) override {
    Call(L"TvxGetLastCardData(" + std::to_wstring(reader) + L"," + std::to_wstring(length) + L")");
    return Answer(lastCard, text, length);
  }
  int32_t TvxGetVersion(std::wstring&, int32_t&) override { return Call(L"TvxGetVersion"); }
  int32_t TvxStartCallBack(const std::wstring& port, TvxNotify notify, int32_t userData) override {
    lastStartNotify = notify;
    lastStartUserData = userData;
    return Call(L"TvxStartCallBack(" + port + L")", startResult);
  }
  // Ignored by the window whatever it answers. Stopped by the binding's own rule,
  // which the storm test judges against delivering each notification.
  int32_t TvxStop(int32_t reader) override {
    return StopReading([&] { return Call(L"TvxStop(" + std::to_wstring(reader) + L")", -1); });
  }
  int32_t TvxStart(const std::wstring& port) override {
    return Call(L"TvxStart(" + port + L")", -1);
  }

 private:
  int32_t Call(const std::wstring& call, int32_t result = 0) {
    calls.push_back(call);
    if (missing && call.starts_with(*missing)) {
      throw ReaderLibraryMissing("missing: " + std::string(call.begin(), call.end()));
    }
    return result;
  }
  // The library's side: as much as fits with its NUL, and that length; writing
  // nothing leaves the length as it was.
  static int32_t Answer(const ScriptedOutText& script, std::wstring& text, int32_t& length) {
    return WithOutText(text, length, [&script](char* buffer, int32_t* size) {
      if (script.written) {
        const auto count = std::min(script.written->size(), std::size_t(std::max(*size, 1) - 1));
        std::memcpy(buffer, script.written->data(), count);
        buffer[count] = '\0';
        *size = static_cast<int32_t>(count) + 1;
      }
      return script.result;
    });
  }
};

}  // namespace corvane::testing
