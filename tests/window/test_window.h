// Form1 over fake controls and a scripted library, as the window tests use it.
#pragma once

#include "fake_controls.h"
#include "fake_reader_library.h"
#include "form1.h"

namespace corvane::testing {

inline int32_t TVX_CALL SomeNotify(int32_t, int32_t, int32_t, int32_t) { return 0; }

struct TestWindow {
  FakeForm form;
  FakeReaderLibrary library;
  Form1 window{form.controls, form.msgBox, library, &SomeNotify};

  // Loaded with the given port list, its calls and changes forgotten.
  explicit TestWindow(std::wstring ports = L"USB,COM1,SIM") {
    library.portList = std::move(ports);
    window.Form_Load();
    Forget();
  }
  void Forget() {
    library.calls.clear();
    form.journal.clear();
    form.msgBox.shown.clear();
  }
  // Start, the port list, Stop: enabled or not.
  std::string Enabled() const {
    return std::string{form.btAttiva.enabled ? '1' : '0', form.cbCom.enabled ? '1' : '0',
                       form.btDisattiva.enabled ? '1' : '0'};
  }
};

inline constexpr const char* kIdle = "110";
inline constexpr const char* kReading = "001";

}  // namespace corvane::testing
