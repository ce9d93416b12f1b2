// Form1's port list against a library that answers anything: any sizing
// length, any bytes in the list, any length reported back, any USB port name.
// The window must not crash, and whenever it fills the list, the entries
// joined by commas must give back exactly the text the library vouched for.
#include <fuzzer/FuzzedDataProvider.h>

#include <clocale>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fake_controls.h"
#include "form1.h"
#include "fuzz_check.h"
#include "out_text_call.h"
#include "text_rules.h"

namespace {

using namespace corvane;

// An out-text through Module1's own handling, with a library that writes up to
// the capacity it is told and reports any length.
int32_t AnswerOutText(std::wstring& text, int32_t& length, const std::string& bytes,
                      int32_t reportedLength, int32_t result) {
  return WithOutText(text, length, [&](char* buffer, int32_t* size) {
    const std::size_t written =
        std::min(bytes.size(), static_cast<std::size_t>(std::max(*size, 0)));
    std::memcpy(buffer, bytes.data(), written);
    buffer[written] = '\0';
    *size = reportedLength;
    return result;
  });
}

class AnyAnswerLibrary final : public ReaderLibrary {
 public:
  int32_t sizingResult = TVX_BUFFER_TOO_SMALL;
  int32_t sizingLength = 0;
  int32_t fillResult = TVX_OK;
  int32_t fillLength = 0;
  std::string listBytes;
  int32_t usbLength = 0;
  std::string usbBytes;
  std::wstring vouchedList;  // what the fill call left in the caller's text

  bool IsLoaded() const override { return true; }
  int32_t TvxInitialize() override { return TVX_OK; }
  int32_t TvxUninitialize() override { return TVX_OK; }
  int32_t TvxPortsAvailable(std::wstring& text, int32_t& length) override {
    if (!m_sized) {
      m_sized = true;
      length = sizingLength;
      return sizingResult;
    }
    const int32_t result = AnswerOutText(text, length, listBytes, fillLength, fillResult);
    vouchedList = text;
    return result;
  }
  int32_t TvxUSBCOMPort(std::wstring& text, int32_t& length) override {
    return AnswerOutText(text, length, usbBytes, usbLength, TVX_OK);
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
  library.sizingResult =
      input.ConsumeBool() ? TVX_BUFFER_TOO_SMALL : input.ConsumeIntegral<int32_t>();
  library.fillResult = input.ConsumeBool() ? TVX_OK : input.ConsumeIntegral<int32_t>();
  library.usbLength = input.ConsumeIntegral<int32_t>();
  library.usbBytes = input.ConsumeRandomLengthString(16);
  library.listBytes = input.ConsumeRandomLengthString(4096);
  // Mostly an honest library, sometimes a lying one.
  const auto honest = static_cast<int32_t>(library.listBytes.size() + 1);
  library.sizingLength = input.ConsumeBool() ? honest : input.ConsumeIntegral<int32_t>();
  library.fillLength =
      input.ConsumeBool() ? library.sizingLength : input.ConsumeIntegral<int32_t>();

  corvane::testing::FakeForm window;
  const corvane::testing::FakeComboBox& ports = window.cbCom;
  const auto& shown = window.msgBox.shown;
  Form1 form(window.controls, window.msgBox, library);
  form.Form_Load();

  for (const auto& entry : ports.entries) FUZZ_CHECK(entry.find(L',') == std::wstring::npos);
  if (ports.selected >= 0) FUZZ_CHECK(ports.selected < ports.Count());

  const bool listRefused = library.sizingResult != TVX_BUFFER_TOO_SMALL ||
                           library.sizingLength <= 0 || library.fillResult != TVX_OK;
  if (listRefused) {
    FUZZ_CHECK(ports.entries.empty());
    FUZZ_CHECK(!shown.empty());
    return 0;
  }
  if (ports.entries.empty()) {
    // Refused as absurd: said so, and offered nothing.
    FUZZ_CHECK(!shown.empty());
    return 0;
  }
  std::wstring joined;
  for (std::size_t index = 0; index < ports.entries.size(); ++index) {
    if (index > 0) joined += L',';
    joined += ports.entries[index];
  }
  FUZZ_CHECK(joined == Characters(library.vouchedList, 1, int64_t{library.fillLength} - 1));
  return 0;
}
