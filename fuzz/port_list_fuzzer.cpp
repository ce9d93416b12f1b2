// Form1's port list against a library that answers anything: any sizing
// length, any bytes in the list, any length reported back, any USB port name.
// The window must not crash, and whenever it fills the list, the entries
// joined by commas must give back exactly the text the library vouched for.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <clocale>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

#include "fake_controls.h"
#include "form1.h"
#include "fuzz_check.h"
#include "out_text_call.h"
#include "text_rules.h"

namespace {

using namespace corvane;

// One out-text as the library answers it: it writes up to the capacity it is
// told and reports any length. The caller's side is Module1's own.
struct OutText {
  int32_t result = TVX_OK;
  int32_t reportedLength = 0;
  std::string bytes;
  std::wstring left;  // what the call left in the caller's text

  int32_t Answer(std::wstring& text, int32_t& length) {
    const int32_t answer = WithOutText(text, length, [&](char* buffer, int32_t* size) {
      const auto written = std::min(bytes.size(), static_cast<std::size_t>(std::max(*size, 0)));
      std::memcpy(buffer, bytes.data(), written);
      buffer[written] = '\0';
      *size = reportedLength;
      return result;
    });
    left = text;
    return answer;
  }
};

class AnyAnswerLibrary final : public ReaderLibrary {
 public:
  OutText sizing, list, usb;

  bool IsLoaded() const override { return true; }
  int32_t TvxInitialize() override { return TVX_OK; }
  int32_t TvxUninitialize() override { return TVX_OK; }
  int32_t TvxPortsAvailable(std::wstring& text, int32_t& length) override {
    return (std::exchange(m_sized, true) ? list : sizing).Answer(text, length);
  }
  int32_t TvxUSBCOMPort(std::wstring& text, int32_t& length) override {
    return usb.Answer(text, length);
  }
  int32_t TvxGetLastError(int32_t, std::wstring&, int32_t&) override { return TVX_FAILED; }
  int32_t TvxGetLastCardData(int32_t, std::wstring&, int32_t&) override { return TVX_FAILED; }
  int32_t TvxGetVersion(std::wstring&, int32_t&) override { return TVX_FAILED; }
  int32_t TvxStartCallBack(const std::wstring&, TvxNotify, int32_t) override { return TVX_FAILED; }
  int32_t TvxStop(int32_t) override { return TVX_FAILED; }
  int32_t TvxStart(const std::wstring&) override { return TVX_FAILED; }

 private:
  bool m_sized = false;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A multibyte locale, so the decoding has sequences to get wrong.
  std::setlocale(LC_ALL, "C.UTF-8");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  AnyAnswerLibrary library;
  OutText &sizing = library.sizing, &list = library.list;
  sizing.result = input.ConsumeBool() ? TVX_BUFFER_TOO_SMALL : input.ConsumeIntegral<int32_t>();
  list.result = input.ConsumeBool() ? TVX_OK : input.ConsumeIntegral<int32_t>();
  library.usb.reportedLength = input.ConsumeIntegral<int32_t>();
  library.usb.bytes = input.ConsumeRandomLengthString(16);
  list.bytes = input.ConsumeRandomLengthString(4096);
  // Mostly an honest library, sometimes a lying one.
  const auto honest = static_cast<int32_t>(list.bytes.size() + 1);
  sizing.reportedLength = input.ConsumeBool() ? honest : input.ConsumeIntegral<int32_t>();
  list.reportedLength =
      input.ConsumeBool() ? sizing.reportedLength : input.ConsumeIntegral<int32_t>();

  testing::FakeForm window;
  const testing::FakeComboBox& ports = window.cbCom;
  Form1 form(window.controls, window.msgBox, library);
  form.Form_Load();

  for (const auto& entry : ports.entries) FUZZ_CHECK(entry.find(L',') == std::wstring::npos);
  FUZZ_CHECK(ports.selected < ports.Count());
  if (sizing.result != TVX_BUFFER_TOO_SMALL || sizing.reportedLength <= 0 ||
      list.result != TVX_OK || ports.entries.empty()) {
    // Refused, by the library or as absurd: said so, and offered nothing.
    FUZZ_CHECK(ports.entries.empty() && !window.msgBox.shown.empty());
    return 0;
  }
  std::wstring joined = ports.entries.front();
  for (std::size_t i = 1; i < ports.entries.size(); ++i) joined += L',' + ports.entries[i];
  FUZZ_CHECK(joined == Characters(list.left, 1, int64_t{list.reportedLength} - 1));
  return 0;
}
