#include "caption_font.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <QWidget>

#include "caption_fit.h"
#include "form1_layout.h"

namespace corvane::qt {

void FitFontToCaptions(QWidget& window) {
  QFont font = window.font();
  if (font.pointSizeF() <= 0) {
    return;  // sized in pixels by the platform: leave it as it is
  }
  font.setPointSizeF(FitPointSize(font.pointSizeF(), [&font](double pointSize) {
    font.setPointSizeF(pointSize);
    const QFontMetrics metrics(font);
    // Qt lays the window out at the reference DPI and scales it itself.
    return CaptionsFit(layout::kReferenceDpi, [&metrics](const std::wstring& caption) {
      return TextExtent{metrics.horizontalAdvance(QString::fromStdWString(caption)),
                        metrics.height()};
    });
  }));
  window.setFont(font);
}

}  // namespace corvane::qt
