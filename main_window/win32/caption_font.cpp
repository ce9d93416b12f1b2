#include "caption_font.h"

#include <cmath>
#include <cstdlib>

#include "caption_fit.h"
#include "dpi_metrics.h"

namespace corvane::win32 {
namespace {

constexpr double kPointsPerInch = 72.0;

HFONT CreateFontAt(LOGFONTW font, double pointSize, UINT dpi) {
  // Negative: the size of the characters, not of the cell around them.
  font.lfHeight = -static_cast<LONG>(std::lround(pointSize * dpi / kPointsPerInch));
  return CreateFontIndirectW(&font);
}

}  // namespace

HFONT CreateCaptionFont(UINT dpi) {
  const LOGFONTW message = MessageFont(dpi);
  const double messagePointSize = std::abs(message.lfHeight) * kPointsPerInch / dpi;
  // The controls draw with this font in pixels at `dpi`, as any DC measures it.
  const HDC screen = GetDC(nullptr);
  const double pointSize = FitPointSize(messagePointSize, [&](double candidate) {
    const HFONT font = CreateFontAt(message, candidate, dpi);
    const HGDIOBJ previous = SelectObject(screen, font);
    const bool fits = CaptionsFit(static_cast<int>(dpi), [&](const std::wstring& caption) {
      SIZE extent{};
      GetTextExtentPoint32W(screen, caption.c_str(), static_cast<int>(caption.size()), &extent);
      return TextExtent{extent.cx, extent.cy};
    });
    SelectObject(screen, previous);
    DeleteObject(font);
    return fits;
  });
  ReleaseDC(nullptr, screen);
  return CreateFontAt(message, pointSize, dpi);
}

}  // namespace corvane::win32
