// Must not compile: a handle to a control the layout table lacks or, with
// CORVANE_WRONG_KIND, to a control of another kind.
#include "window_controls.h"

#ifdef CORVANE_WRONG_KIND
constexpr auto kStart = corvane::Row<corvane::ComboBox>(L"btAttiva");
#else
constexpr auto kStart = corvane::Row<corvane::Button>(L"btStart");
#endif
