// Must not compile: the program reaches the reader library only through its
// contract, so the stand-in library's own headers are out of its sight.
#include "frame_decoder.h"
#include "program_shell.h"
