# Settings of the Windows build (included by the top CMakeLists.txt when cross-building for Windows).
set(ZANIT_QT OFF)
set(ZANIT_BUILD_BENCH OFF CACHE BOOL "" FORCE)  # the benchmark compares with SQLite: a Linux matter
set(ZANIT_BUILD_FUZZ OFF CACHE BOOL "" FORCE)
# -O2 as in the Linux build (-O3 makes g++ 12 warn falsely about memcpy sizes), without debugging information.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG")
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG")

# libsodium and GoogleTest cross-built by scripts/windows-deps into ZANIT_WINDOWS_DEPS.
find_library(ZANIT_SODIUM_LIBRARY NAMES libsodium.a REQUIRED)
find_path(ZANIT_SODIUM_INCLUDE sodium.h REQUIRED)
add_library(PkgConfig::SODIUM STATIC IMPORTED)
set_target_properties(PkgConfig::SODIUM PROPERTIES IMPORTED_LOCATION ${ZANIT_SODIUM_LIBRARY}
  INTERFACE_INCLUDE_DIRECTORIES ${ZANIT_SODIUM_INCLUDE} INTERFACE_COMPILE_DEFINITIONS SODIUM_STATIC=1
  INTERFACE_LINK_LIBRARIES advapi32)
# zlib from Debian's MinGW package, linked statically.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)

# Tests and build steps run the .exe files under Wine, in the prefix named by WINEPREFIX (make windows-test
# makes a fresh one), else in build-windows/wine.
find_program(ZANIT_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(ZANIT_WINE64 NAMES wine64 wine)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

# Under Wine the drive Z: maps the Linux root: the tests find the sources and the build there.
set(ZANIT_TEST_SOURCE_DIR "Z:${CMAKE_SOURCE_DIR}")
set(ZANIT_TEST_BINARY_DIR "Z:${CMAKE_BINARY_DIR}")
