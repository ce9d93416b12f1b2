// The two port names of the stand-in library's own, for it and for the tests
// and benchmarks that drive it. Not in the reader contract: the maker's
// library names its ports its own way, and the program lists whatever it is given.
#pragma once

#include <cstddef>

namespace tavrix {

// A port name as the library takes it and as the window shows it.
template <std::size_t N>
struct PortName {
  consteval PortName(const char (&name)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
      narrow[i] = name[i];
      wide[i] = static_cast<wchar_t>(name[i]);
    }
  }
  char narrow[N]{};
  wchar_t wide[N]{};
};

// The first USB serial adapter present at Start: listed first and named by
// TvxUSBCOMPort, so the window selects it.
inline constexpr PortName kUsbPort("USB");
// The simulated reader, listed last.
inline constexpr PortName kSimPort("SIM");

}  // namespace tavrix
