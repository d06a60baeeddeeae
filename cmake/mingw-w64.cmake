# Cross build for 64-bit Windows with Debian's mingw-w64 (posix thread model: std::thread,
# std::mutex and std::condition_variable over winpthreads). The programs are linked with the
# GCC, C++ and thread libraries inside, so they run (under wine too) without DLLs beside them.
# The libraries built for the target (expat, GoogleTest: scripts/windows-deps.sh) are found
# under ORVALIS_WIN_DEPS, the system's mingw root for the rest (zlib).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ORVALIS_MINGW x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${ORVALIS_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVALIS_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVALIS_MINGW}-windres)
set(CMAKE_AR ${ORVALIS_MINGW}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${ORVALIS_MINGW}-gcc-ranlib-posix CACHE FILEPATH "")

if(NOT ORVALIS_WIN_DEPS)
    set(ORVALIS_WIN_DEPS "$ENV{ORVALIS_WIN_DEPS}")
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${ORVALIS_MINGW} ${ORVALIS_WIN_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static runtime: libgcc, libstdc++ and winpthread inside each program.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests and build steps run the programs under wine.
find_program(ORVALIS_WINE NAMES wine wine64)
set(CMAKE_CROSSCOMPILING_EMULATOR ${ORVALIS_WINE})
