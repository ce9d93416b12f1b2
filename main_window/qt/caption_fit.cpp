#include "main_window/qt/caption_fit.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <QWidget>

#include "main_window/caption_fit.h"

namespace corvane::qtui {
namespace {

// Qt lays the window out in device-independent pixels and scales it itself.
constexpr int kLogicalDpi = 96;

}  // namespace

void FitFontToCaptions(QWidget& window) {
  QFont font = window.font();
  if (font.pointSizeF() <= 0) {
    return;  // sized in pixels by the platform: leave it as it is
  }
  font.setPointSizeF(FitPointSize(font.pointSizeF(), [&font](double pointSize) {
    font.setPointSizeF(pointSize);
    const QFontMetrics metrics(font);
    return CaptionsFit(kLogicalDpi, [&metrics](const std::wstring& caption) {
      return TextExtent{metrics.horizontalAdvance(QString::fromStdWString(caption)),
                        metrics.height()};
    });
  }));
  window.setFont(font);
}

}  // namespace corvane::qtui
