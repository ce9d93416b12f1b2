// The window as designed, typed apart from the layout table so that a slip in
// the table shows. Twips; the rows in tab order.
#pragma once

#include <array>

namespace corvane::testing {

struct ExpectedControl {
  const char* name;
  const wchar_t* caption;  // or initial text
  int left, top, width, height;
  bool enabled;
  const char* label = nullptr;  // the label that names it for screen readers
};

inline constexpr int kExpectedClientWidth = 6450;
inline constexpr int kExpectedClientHeight = 2760;

inline constexpr std::array<ExpectedControl, 10> kExpectedControls = {{
    {"btDisattiva", L"&Stop", 3720, 600, 1600, 375, false},
    {"btAttiva", L"&Start", 3720, 120, 1600, 375, true},
    {"cbCom", L"", 1440, 345, 2055, 315, true, "Label2"},
    {"Label2", L"connected to", 240, 360, 975, 255, true},
    {"Label4", L"Status:", 120, 2280, 975, 255, true},
    {"Label5", L"Disabled", 1200, 2280, 3255, 255, true, "Label4"},
    {"Label1", L"Batch n.", 240, 1320, 855, 255, true},
    {"Text1", L"", 1080, 1200, 2175, 375, true, "Label1"},
    {"Label3", L"S.N.", 240, 1800, 855, 255, true},
    {"Text2", L"", 1080, 1680, 4935, 375, true, "Label3"},
}};

}  // namespace corvane::testing
