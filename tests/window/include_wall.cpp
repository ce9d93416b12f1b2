// With CORVANE_INCLUDE_STAND_IN this must not compile: the program reaches the
// reader library only through its contract, so the stand-in library's own
// headers are out of its sight.
#ifdef CORVANE_INCLUDE_STAND_IN
#include "frame_decoder.h"
#endif
#include "program_shell.h"
