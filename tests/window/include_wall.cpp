// Compiled twice. As it stands it must not compile: the program reaches the
// reader library only through its contract, so the stand-in library's own
// headers are out of its sight. With CORVANE_WALL_CONTROL it must compile, so
// the first build fails for that include and for nothing else.
#ifndef CORVANE_WALL_CONTROL
#include "frame_decoder.h"
#endif
#include "program_shell.h"
