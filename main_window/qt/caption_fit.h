// The layout table's sizes were drawn for a small 8-point font; the
// platform's default font is often larger and wider, and would clip captions.
#pragma once

class QWidget;

namespace corvane::qt {

// Keeps the platform's font family but lowers the window's font size, in half
// points down to a floor, until every label and button caption of the layout
// table fits its control.
void FitFontToCaptions(QWidget& window);

}  // namespace corvane::qt
