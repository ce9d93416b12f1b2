# Shared by the mingw-w64 toolchain files; expects CORVANE_MINGW_TRIPLET.
set(CMAKE_SYSTEM_NAME Windows)

# The -posix compilers: the program uses std::mutex and std::thread, which the
# default thread model of this compiler generation lacks.
find_program(CMAKE_C_COMPILER NAMES ${CORVANE_MINGW_TRIPLET}-gcc-posix ${CORVANE_MINGW_TRIPLET}-gcc
             REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${CORVANE_MINGW_TRIPLET}-g++-posix
             ${CORVANE_MINGW_TRIPLET}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${CORVANE_MINGW_TRIPLET}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${CORVANE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Link the compiler's runtime (libgcc, libstdc++, winpthread) into every
# module, so Corvane.exe and Tavrix.dll run on a machine without MinGW.
# Only here: builds with other compilers must not see these flags.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# For the static checks of the built files.
find_program(CORVANE_MINGW_OBJDUMP NAMES ${CORVANE_MINGW_TRIPLET}-objdump objdump)
