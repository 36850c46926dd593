# Cross build for 64-bit Windows with Debian's MinGW-w64 compilers (the POSIX thread model, which std::thread
# and std::mutex need). The MinGW system root and the prefix of the cross-built libraries (libsodium,
# GoogleTest: scripts/windows-deps) are searched for libraries and headers; programs come from the build host.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZANIT_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${ZANIT_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZANIT_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZANIT_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${ZANIT_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${ZANIT_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

set(ZANIT_WINDOWS_DEPS "" CACHE PATH "Prefix of the cross-built libraries (scripts/windows-deps)")
set(CMAKE_FIND_ROOT_PATH /usr/${ZANIT_MINGW_TRIPLE} ${ZANIT_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every .exe carries its C and C++ runtime and the thread library: nothing to copy beside it under Wine or on a
# user's machine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
