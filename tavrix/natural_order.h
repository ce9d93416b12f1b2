// Port names in the order an operator expects: ttyS2 before ttyS10.
#pragma once

#include <string_view>

namespace tavrix {

// Runs of digits compare by value, everything else byte by byte.
bool NaturalLess(std::string_view left, std::string_view right);

}  // namespace tavrix
