// Compiles as it stands, and must not with a mistake planted: the stand-in
// library's own headers, out of the program's sight (CORVANE_INCLUDE_STAND_IN),
// or a handle to a control the layout table lacks (CORVANE_WRONG_NAME) or to
// one of another kind (CORVANE_WRONG_KIND).
#ifdef CORVANE_INCLUDE_STAND_IN
#include "frame_decoder.h"
#endif
#include "window_controls.h"

#if defined(CORVANE_WRONG_NAME)
constexpr auto kStart = corvane::Row<corvane::Button>(L"btStart");
#elif defined(CORVANE_WRONG_KIND)
constexpr auto kStart = corvane::Row<corvane::ComboBox>(L"btAttiva");
#else
[[maybe_unused]] constexpr auto kStart = corvane::Row<corvane::Button>(L"btAttiva");
#endif
