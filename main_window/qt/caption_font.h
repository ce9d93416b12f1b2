// Qt's side of the caption rule in main_window/caption_fit.h.
#pragma once

class QWidget;

namespace corvane::qt {

// Sets the window's font to the platform's, sized by the caption rule.
void FitFontToCaptions(QWidget& window);

}  // namespace corvane::qt
