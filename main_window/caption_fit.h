// The one rule both front ends size their font by. The layout table's sizes
// were drawn for a small 8-point font; the platform's font is often larger or
// wider and would clip or wrap captions. So the window keeps the platform's
// font family and lowers its size in half points, down to a floor of 6
// points, until every label and button caption of the layout table fits its
// control on one line; a button keeps room for its frame.
#pragma once

#include <functional>
#include <string>

namespace corvane {

struct TextExtent {
  int width = 0;
  int height = 0;
};

// A caption's size on one line, in pixels, in the font being tried.
using MeasureCaption = std::function<TextExtent(const std::wstring& caption)>;

// Whether every label and button caption, '&' markers removed, fits its
// control drawn at `dpi`.
bool CaptionsFit(int dpi, const MeasureCaption& measure);

// The largest size from `pointSize` down in half points at which `fits`
// holds; where none above the floor does, the smallest size tried.
double FitPointSize(double pointSize, const std::function<bool(double pointSize)>& fits);

}  // namespace corvane
