// How Form1 looks: captions, positions and sizes in twips, tab order and the
// initial state of each control. This table is the one list of the window's
// controls: every toolkit, the tests' fakes too, makes its controls from it
// through WindowControls (window_controls.h).
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace corvane::layout {

inline constexpr int kTwipsPerPixelAt96Dpi = 15;
inline constexpr int kTwipsPerInch = 1440;
// The DPI at which kTwipsPerPixelAt96Dpi holds; Qt lays out in pixels at it.
inline constexpr int kReferenceDpi = 96;

inline constexpr const wchar_t* kWindowCaption = L"Form1";
inline constexpr const wchar_t* kApplicationTitle = L"Corvane";
inline constexpr int kClientWidth = 6450;
inline constexpr int kClientHeight = 2760;

enum class Kind { PushButton, DropDownList, Label, TextBox };

struct ControlRow {
  const wchar_t* name;
  Kind kind;
  const wchar_t* caption;  // the caption or initial text; '&' marks the access key
  int left;
  int top;
  int width;
  int height;
  bool enabled;
  // A label: the control it names for screen readers, by name; nullptr when
  // it names none. Both front ends give the control its name from this.
  const wchar_t* names = nullptr;
};

// In tab order: a control's index here is its tab index.
inline constexpr std::array<ControlRow, 10> kControls = {{
    {L"btDisattiva", Kind::PushButton, L"&Stop", 3720, 600, 1600, 375, false},
    {L"btAttiva", Kind::PushButton, L"&Start", 3720, 120, 1600, 375, true},
    {L"cbCom", Kind::DropDownList, L"", 1440, 345, 2055, 315, true},
    {L"Label2", Kind::Label, L"connected to", 240, 360, 975, 255, true, L"cbCom"},
    {L"Label4", Kind::Label, L"Status:", 120, 2280, 975, 255, true, L"Label5"},
    {L"Label5", Kind::Label, L"Disabled", 1200, 2280, 3255, 255, true},
    {L"Label1", Kind::Label, L"Batch n.", 240, 1320, 855, 255, true, L"Text1"},
    {L"Text1", Kind::TextBox, L"", 1080, 1200, 2175, 375, true},
    {L"Label3", Kind::Label, L"S.N.", 240, 1800, 855, 255, true, L"Text2"},
    {L"Text2", Kind::TextBox, L"", 1080, 1680, 4935, 375, true},
}};

// cbCom's entries as the window is created; Form_Load replaces them before the
// window is first shown.
inline constexpr std::array<const wchar_t*, 5> kInitialPortEntries = {L"USB ANY", L"COM1", L"COM2",
                                                                      L"COM3", L"COM4"};

// The row of the control named `name`: its tab index. kControls.size() when
// no control has that name.
constexpr std::size_t IndexOf(std::wstring_view name) {
  for (std::size_t index = 0; index < kControls.size(); ++index) {
    if (kControls[index].name == name) return index;
  }
  return kControls.size();
}

static_assert(
    [] {
      for (const ControlRow& row : kControls) {
        if (row.names != nullptr && IndexOf(row.names) == kControls.size()) return false;
      }
      return true;
    }(),
    "a label names a control the table lacks");

// Twips to device pixels at `dpi` (MulDiv rounding).
constexpr int TwipsToPixels(int twips, int dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  return static_cast<int>((scaled + (scaled >= 0 ? kTwipsPerInch / 2 : -kTwipsPerInch / 2)) /
                          kTwipsPerInch);
}

}  // namespace corvane::layout
