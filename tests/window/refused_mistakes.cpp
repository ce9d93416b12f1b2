// Compiles as it stands, and must not with any of the mistakes planted below.
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
