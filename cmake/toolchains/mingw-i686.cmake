# 32-bit Windows with Debian's mingw-w64: the build that loads the maker's
# 32-bit Tavrix.dll. Checked statically here; no emulator is set.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(CORVANE_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
