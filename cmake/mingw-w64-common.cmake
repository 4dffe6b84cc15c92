# What the two Windows toolchain files share, for the triple CARTIDEX_MINGW_TRIPLE: Debian's
# mingw-w64 compilers of the POSIX thread model (so that std::thread and std::mutex work), and
# everything linked statically: the executables need no DLL beside them, neither mingw's runtime
# nor zlib.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${CARTIDEX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CARTIDEX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${CARTIDEX_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${CARTIDEX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# zlib from libz-mingw-w64-dev, the static library rather than the DLL's import library.
set(ZLIB_USE_STATIC_LIBS ON)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
