#include "module1.h"

#include "out_text_call.h"
#include "reader_callback.h"
#include "text_rules.h"

namespace corvane {
#define CORVANE_ENTRY(name) reinterpret_cast<decltype(&::name)>(m_loader.Resolve(#name))

Module1::Module1(std::string fileName) : m_loader(std::move(fileName)) {}

Module1& Module1::Instance() {
  static Module1 binding;
  return binding;
}

int32_t Module1::TvxInitialize() { return CORVANE_ENTRY(TvxInitialize)(); }

int32_t Module1::TvxUninitialize() { return CORVANE_ENTRY(TvxUninitialize)(); }

int32_t Module1::TvxPortsAvailable(std::wstring& text, int32_t& length) {
  const auto entry = CORVANE_ENTRY(TvxPortsAvailable);
  return WithOutText(text, length, entry);
}

int32_t Module1::TvxUSBCOMPort(std::wstring& text, int32_t& length) {
  const auto entry = CORVANE_ENTRY(TvxUSBCOMPort);
  return WithOutText(text, length, entry);
}

int32_t Module1::TvxGetLastError(int32_t reader, std::wstring& text, int32_t& length) {
  const auto entry = CORVANE_ENTRY(TvxGetLastError);
  return WithOutText(text, length,
                     [&](char* buffer, int32_t* size) { return entry(reader, buffer, size); });
}

int32_t Module1::TvxGetLastCardData(int32_t reader, std::wstring& text, int32_t& length) {
  const auto entry = CORVANE_ENTRY(TvxGetLastCardData);
  return WithOutText(text, length,
                     [&](char* buffer, int32_t* size) { return entry(reader, buffer, size); });
}

int32_t Module1::TvxGetVersion(std::wstring& text, int32_t& length) {
  const auto entry = CORVANE_ENTRY(TvxGetVersion);
  return WithOutText(text, length, entry);
}

int32_t Module1::TvxStartCallBack(const std::wstring& port, TvxNotify notify, int32_t userData) {
  const auto entry = CORVANE_ENTRY(TvxStartCallBack);
  const std::string ansiPort = ToAnsi(port);
  return entry(ansiPort.c_str(), notify, userData);
}

int32_t Module1::TvxStop(int32_t reader) {
  const auto entry = CORVANE_ENTRY(TvxStop);
  return StopReading([&] { return entry(reader); });
}

int32_t Module1::TvxStart(const std::wstring& port) {
  const auto entry = CORVANE_ENTRY(TvxStart);
  const std::string ansiPort = ToAnsi(port);
  return entry(ansiPort.c_str());
}

#undef CORVANE_ENTRY

}  // namespace corvane
