// A look at a shared object's ELF headers before the system loader gets it.
//
// The loader maps each segment straight from the file; a segment cut short by
// an interrupted copy or a full disk maps pages past the end of the file, and
// the first touch of one ends the process with SIGBUS instead of an error.
#pragma once

#include <string>

namespace corvane {

// Why `path` must not be handed to the loader, worded as the loader words
// its own refusals ("file too short"); empty when the file is a complete
// shared object for this machine, or cannot be opened here (the loader then
// reports that itself).
std::string SharedObjectRefusal(const std::string& path);

}  // namespace corvane
