#include "caption_fit.h"

#include <algorithm>

#include "form1_layout.h"

namespace corvane {
namespace {

constexpr double kSmallestPointSize = 6.0;
constexpr double kPointSizeStep = 0.5;
// Room a push button's frame and padding take from its caption at 96 DPI.
constexpr int kButtonFramePixels = 12;

}  // namespace

bool CaptionsFit(int dpi, const MeasureCaption& measure) {
  for (const layout::ControlRow& control : layout::kControls) {
    int available = layout::TwipsToPixels(control.width, dpi);
    if (control.kind == layout::Kind::PushButton) {
      available -= kButtonFramePixels * dpi / layout::kReferenceDpi;
    } else if (control.kind != layout::Kind::Label) {
      continue;
    }
    std::wstring caption = control.caption;
    caption.erase(std::remove(caption.begin(), caption.end(), L'&'), caption.end());
    const TextExtent extent = measure(caption);
    if (extent.width > available || extent.height > layout::TwipsToPixels(control.height, dpi)) {
      return false;
    }
  }
  return true;
}

double FitPointSize(double pointSize, const std::function<bool(double pointSize)>& fits) {
  while (!fits(pointSize) && pointSize - kPointSizeStep >= kSmallestPointSize) {
    pointSize -= kPointSizeStep;
  }
  return pointSize;
}

}  // namespace corvane
