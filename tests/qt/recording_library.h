// Passes every call on to a real reader library and remembers the names of
// the calls, so a test can tell what the window asked of the library.
#pragma once

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "reader_binding/reader_library.h"

namespace corvane::testing {

class RecordingLibrary final : public ReaderLibrary {
 public:
  explicit RecordingLibrary(ReaderLibrary& library) : m_library(library) {}

  std::vector<std::string> Calls() const {
    const std::lock_guard lock(m_mutex);
    return m_calls;
  }
  bool Called(const std::string& name) const {
    const std::vector<std::string> calls = Calls();
    return std::find(calls.begin(), calls.end(), name) != calls.end();
  }

  int32_t TvxInitialize() override {
    Record("TvxInitialize");
    return m_library.TvxInitialize();
  }
  int32_t TvxUninitialize() override {
    Record("TvxUninitialize");
    return m_library.TvxUninitialize();
  }
  int32_t TvxPortsAvailable(std::wstring& text, int32_t& length) override {
    Record("TvxPortsAvailable");
    return m_library.TvxPortsAvailable(text, length);
  }
  int32_t TvxUSBCOMPort(std::wstring& text, int32_t& length) override {
    Record("TvxUSBCOMPort");
    return m_library.TvxUSBCOMPort(text, length);
  }
  int32_t TvxGetLastError(int32_t reader, std::wstring& text, int32_t& length) override {
    Record("TvxGetLastError");
    return m_library.TvxGetLastError(reader, text, length);
  }
  int32_t TvxGetLastCardData(int32_t reader, std::wstring& text, int32_t& length) override {
    Record("TvxGetLastCardData");
    return m_library.TvxGetLastCardData(reader, text, length);
  }
  int32_t TvxGetVersion(std::wstring& text, int32_t& length) override {
    Record("TvxGetVersion");
    return m_library.TvxGetVersion(text, length);
  }
  int32_t TvxStartCallBack(const std::wstring& port, TvxNotify notify, int32_t userData) override {
    Record("TvxStartCallBack");
    return m_library.TvxStartCallBack(port, notify, userData);
  }
  int32_t TvxStop(int32_t reader) override {
    Record("TvxStop");
    return m_library.TvxStop(reader);
  }
  int32_t TvxStart(const std::wstring& port) override {
    Record("TvxStart");
    return m_library.TvxStart(port);
  }

 private:
  void Record(const char* name) {
    const std::lock_guard lock(m_mutex);
    m_calls.emplace_back(name);
  }

  ReaderLibrary& m_library;
  mutable std::mutex m_mutex;
  std::vector<std::string> m_calls;
};

}  // namespace corvane::testing
