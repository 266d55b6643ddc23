# What the Windows toolchain files share: Debian's mingw-w64 cross compiler for
# MEVRIX_MINGW_TRIPLET and Wine (one of MEVRIX_WINE_LOADERS, in a MEVRIX_WINE_ARCH configuration)
# to run what it builds. Included by mingw-w64-x86_64.cmake and mingw-w64-i686.cmake, which set
# those three and CMAKE_SYSTEM_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)

# The posix thread model: GoogleTest needs std::mutex, which the win32 model of GCC 12 lacks. Its
# winpthread runtime is linked in statically like the rest (below), so no DLL of it is needed.
find_program(CMAKE_C_COMPILER NAMES ${MEVRIX_MINGW_TRIPLET}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${MEVRIX_MINGW_TRIPLET}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${MEVRIX_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MEVRIX_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The DLL and the programs carry the compiler's runtime inside, so they need nothing beyond what
# Windows itself provides (KERNEL32 and the C runtime msvcrt).
set(mevrix_static_runtime "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${mevrix_static_runtime}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${mevrix_static_runtime}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${mevrix_static_runtime}")
# The runtime's symbol table would more than treble the release DLL; the export table is apart.
set(CMAKE_SHARED_LINKER_FLAGS_RELEASE_INIT "-s")

# Wine runs the tests. Debian's packages install the loaders outside PATH, in /usr/lib/wine; they
# come first, as a wrapper on PATH may choose a loader of the other width.
find_program(MEVRIX_WINE NAMES ${MEVRIX_WINE_LOADERS} PATHS /usr/lib/wine /usr/lib64/wine
  NO_DEFAULT_PATH)
find_program(MEVRIX_WINE NAMES ${MEVRIX_WINE_LOADERS})
find_program(MEVRIX_WINESERVER NAMES wineserver PATHS /usr/lib/wine /usr/lib64/wine)
if(MEVRIX_WINE AND MEVRIX_WINESERVER)
  # A Wine configuration of the build's own, so runs never touch the user's ~/.wine and separate
  # builds never share one. Quiet, and without the .NET and HTML engines, which nothing here needs
  # and which Wine would otherwise offer to install.
  set(MEVRIX_WINEPREFIX "${CMAKE_BINARY_DIR}/wine-prefix")
  set(MEVRIX_WINE_ENVIRONMENT
    "WINEPREFIX=${MEVRIX_WINEPREFIX}" "WINEARCH=${MEVRIX_WINE_ARCH}" "WINEDEBUG=-all"
    "WINEDLLOVERRIDES=mscoree,mshtml="
    "MEVRIX_WINE=${MEVRIX_WINE}" "MEVRIX_WINESERVER=${MEVRIX_WINESERVER}")
  set(CMAKE_CROSSCOMPILING_EMULATOR
    /usr/bin/env ${MEVRIX_WINE_ENVIRONMENT} /bin/sh ${CMAKE_CURRENT_LIST_DIR}/../wine-run.sh)
endif()
