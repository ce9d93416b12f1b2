# 64-bit Windows with Debian's mingw-w64; runs under Wine on this machine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CORVANE_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Wine's 64-bit loader itself: the `wine` wrapper picks the 32-bit loader,
# which does not start on every kernel.
find_program(CORVANE_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(CORVANE_WINE64 NAMES wine64)
if(CORVANE_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CORVANE_WINE64})
endif()
