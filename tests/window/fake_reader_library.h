// A scripted reader library. Out-texts behave as through the real binding: the
// "library" writes into a buffer the size of the text handed in, and the
// caller gets back the bytes the reported length vouches for, clamped.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "reader_binding/reader_library.h"
#include "reader_binding/text_rules.h"

namespace corvane::testing {

struct ScriptedOutText {
  int32_t result = 0;
  std::optional<std::wstring> written;    // what the library writes; nothing when empty
  std::optional<int32_t> reportedLength;  // overrides written length + NUL
};

class FakeReaderLibrary final : public ReaderLibrary {
 public:
  std::vector<std::wstring> calls;

  int32_t initializeResult = 0;
  // The port list text and the results of the sizing and the filling call.
  std::wstring portList;
  int32_t sizingResult = -3;
  std::optional<int32_t> sizingLength;  // default: the list's length + NUL
  ScriptedOutText fillPorts;            // `written` defaults to portList
  ScriptedOutText usbName{0, L"USB", std::nullopt};
  ScriptedOutText lastError{0, L"Porta persa", std::nullopt};
  ScriptedOutText lastCard{0, L"0101234567890", std::nullopt};
  int32_t startResult = 5;
  std::wstring lastStartPort;
  TvxNotify lastStartNotify = nullptr;
  int32_t lastStartUserData = -1;

  int32_t TvxInitialize() override {
    calls.push_back(L"TvxInitialize");
    return initializeResult;
  }
  int32_t TvxUninitialize() override {
    calls.push_back(L"TvxUninitialize");
    return 0;
  }
  int32_t TvxPortsAvailable(std::wstring& text, int32_t& length) override {
    calls.push_back(L"TvxPortsAvailable(" + std::to_wstring(length) + L")");
    if (length == 0) {
      length = sizingLength.value_or(static_cast<int32_t>(portList.size()) + 1);
      return sizingResult;
    }
    ScriptedOutText fill = fillPorts;
    if (!fill.written) fill.written = portList;
    return Answer(fill, text, length);
  }
  int32_t TvxUSBCOMPort(std::wstring& text, int32_t& length) override {
    calls.push_back(L"TvxUSBCOMPort(" + std::to_wstring(length) + L")");
    return Answer(usbName, text, length);
  }
  int32_t TvxGetLastError(int32_t reader, std::wstring& text, int32_t& length) override {
    calls.push_back(L"TvxGetLastError(" + std::to_wstring(reader) + L"," + std::to_wstring(length) +
                    L")");
    return Answer(lastError, text, length);
  }
  int32_t TvxGetLastCardData(int32_t reader, std::wstring& text, int32_t& length) override {
    calls.push_back(L"TvxGetLastCardData(" + std::to_wstring(reader) + L"," +
                    std::to_wstring(length) + L")");
    return Answer(lastCard, text, length);
  }
  int32_t TvxGetVersion(std::wstring&, int32_t&) override {
    calls.push_back(L"TvxGetVersion");
    return 0;
  }
  int32_t TvxStartCallBack(const std::wstring& port, TvxNotify notify, int32_t userData) override {
    calls.push_back(L"TvxStartCallBack(" + port + L")");
    lastStartPort = port;
    lastStartNotify = notify;
    lastStartUserData = userData;
    return startResult;
  }
  int32_t TvxStop(int32_t reader) override {
    calls.push_back(L"TvxStop(" + std::to_wstring(reader) + L")");
    return -1;  // ignored by the window whatever it is
  }
  int32_t TvxStart(const std::wstring& port) override {
    calls.push_back(L"TvxStart(" + port + L")");
    return -1;
  }

 private:
  static int32_t Answer(const ScriptedOutText& script, std::wstring& text, int32_t& length) {
    std::wstring buffer = text;
    if (script.written) {
      const std::wstring cut = script.written->substr(
          0, std::min<std::size_t>(script.written->size(),
                                   length > 0 ? static_cast<std::size_t>(length) - 1 : 0));
      buffer.replace(0, std::min(cut.size(), buffer.size()), cut);
      if (cut.size() < buffer.size()) buffer[cut.size()] = L'\0';
      length = static_cast<int32_t>(cut.size()) + 1;
    }
    if (script.reportedLength) length = *script.reportedLength;
    text = buffer.substr(0, KeptBytes(length, buffer.size()));
    return script.result;
  }
};

}  // namespace corvane::testing
