// With CORVANE_WRONG_NAME or CORVANE_WRONG_KIND this must not compile: a handle
// to a control the layout table lacks, or to a control of another kind.
#include "window_controls.h"

#if defined(CORVANE_WRONG_NAME)
constexpr auto kStart = corvane::Row<corvane::Button>(L"btStart");
#elif defined(CORVANE_WRONG_KIND)
constexpr auto kStart = corvane::Row<corvane::ComboBox>(L"btAttiva");
#else
[[maybe_unused]] constexpr auto kStart = corvane::Row<corvane::Button>(L"btAttiva");
#endif
