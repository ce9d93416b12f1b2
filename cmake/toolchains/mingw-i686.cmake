# 32-bit Windows with Debian's mingw-w64: the build that loads the maker's
# 32-bit Tavrix.dll. Its tests run under Wine's 32-bit loader, which starts
# only where the kernel runs 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(CORVANE_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

find_program(CORVANE_WINE NAMES wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(CORVANE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CORVANE_WINE})
endif()
