#include "caption_fit.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <QWidget>

#include "form1_layout.h"

namespace corvane::qt {
namespace {

constexpr double kSmallestPointSize = 6.0;
constexpr double kPointSizeStep = 0.5;
// Room a push button's frame and padding take from its caption.
constexpr int kButtonFramePixels = 12;

bool CaptionsFit(const QFont& font) {
  const QFontMetrics metrics(font);
  for (const layout::ControlRow& control : layout::kControls) {
    int available = layout::TwipsToPixels(control.width, layout::kReferenceDpi);
    if (control.kind == layout::Kind::PushButton) {
      available -= kButtonFramePixels;
    } else if (control.kind != layout::Kind::Label) {
      continue;
    }
    const QString caption = QString::fromWCharArray(control.caption).remove(u'&');
    if (metrics.horizontalAdvance(caption) > available ||
        metrics.height() > layout::TwipsToPixels(control.height, layout::kReferenceDpi)) {
      return false;
    }
  }
  return true;
}

}  // namespace

void FitFontToCaptions(QWidget& window) {
  QFont font = window.font();
  if (font.pointSizeF() <= 0) {
    return;  // sized in pixels by the platform: leave it as it is
  }
  while (!CaptionsFit(font) && font.pointSizeF() - kPointSizeStep >= kSmallestPointSize) {
    font.setPointSizeF(font.pointSizeF() - kPointSizeStep);
  }
  window.setFont(font);
}

}  // namespace corvane::qt
