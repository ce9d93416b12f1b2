// Form1's port list against a library that answers anything: any sizing
// length, any bytes in the list, any length reported back, any USB port name.
// The window must not crash, and whenever it fills the list, the entries
// joined by commas must give back exactly the text the library vouched for.
#include <fuzzer/FuzzedDataProvider.h>

#include <clocale>
#include <cstdint>
#include <string>

#include "fake_controls.h"
#include "fake_reader_library.h"
#include "form1.h"
#include "fuzz_check.h"
#include "text_rules.h"

using namespace corvane;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A multibyte locale, so the decoding has sequences to get wrong.
  std::setlocale(LC_ALL, "C.UTF-8");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  // The library's side of every out-text is the shared scripted one; the
  // program's side is Module1's own.
  testing::FakeReaderLibrary library;
  testing::ScriptedOutText &list = library.fillPorts, &usb = library.usbName;
  library.sizingResult =
      input.ConsumeBool() ? TVX_BUFFER_TOO_SMALL : input.ConsumeIntegral<int32_t>();
  list.result = input.ConsumeBool() ? TVX_OK : input.ConsumeIntegral<int32_t>();
  usb.reportedLength = input.ConsumeIntegral<int32_t>();
  usb.written = input.ConsumeRandomLengthString(16);
  list.written = input.ConsumeRandomLengthString(4096);
  // Mostly an honest library, sometimes a lying one.
  const auto honest = static_cast<int32_t>(list.written->size() + 1);
  const int32_t sizingLength = input.ConsumeBool() ? honest : input.ConsumeIntegral<int32_t>();
  library.sizingLength = sizingLength;
  list.reportedLength = input.ConsumeBool() ? sizingLength : input.ConsumeIntegral<int32_t>();

  testing::FakeForm window;
  const testing::FakeComboBox& ports = window.cbCom;
  Form1 form(window.controls, window.msgBox, library);
  form.Form_Load();

  for (const auto& entry : ports.entries) FUZZ_CHECK(entry.find(L',') == std::wstring::npos);
  FUZZ_CHECK(ports.selected < ports.Count());
  if (library.sizingResult != TVX_BUFFER_TOO_SMALL || sizingLength <= 0 || list.result != TVX_OK ||
      ports.entries.empty()) {
    // Refused, by the library or as absurd: said so, and offered nothing.
    FUZZ_CHECK(ports.entries.empty() && !window.msgBox.shown.empty());
    return 0;
  }
  std::wstring joined = ports.entries.front();
  for (std::size_t i = 1; i < ports.entries.size(); ++i) joined += L',' + ports.entries[i];
  FUZZ_CHECK(joined == Characters(library.portsHandedOver, 1, int64_t{*list.reportedLength} - 1));
  return 0;
}
